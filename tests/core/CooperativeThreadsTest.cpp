// The cooperative guarantee on real threads: program code of different
// threads never interleaves except at Yield.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "framework/core/threads/Baton.h"
#include "framework/core/threads/Thread.h"

namespace framework {
namespace {

class SliceGuard {
 public:
  explicit SliceGuard(std::chrono::microseconds slice) : saved_(Baton::TimeSlice()) {
    Baton::SetTimeSlice(slice);
  }
  ~SliceGuard() { Baton::SetTimeSlice(saved_); }

 private:
  std::chrono::microseconds saved_;
};

// The shared record all threads write to without locks: only the baton
// keeps it consistent.
struct Journal {
  std::vector<std::string> entries;
  int owner = -1;  // who is inside a critical stretch
  int overlaps = 0;
};

// Runs `passes` stretches of work; each stretch claims the journal, works on
// it a while without yielding, checks nobody else came in, and yields after.
void WorkStretches(Journal& journal, int who, int passes) {
  for (int pass = 0; pass < passes; ++pass) {
    journal.owner = who;
    journal.entries.push_back(std::to_string(who) + ":begin");
    volatile int spin = 0;
    for (int k = 0; k < 2000; ++k) {
      spin = spin + 1;
      if (journal.owner != who) ++journal.overlaps;
    }
    journal.entries.push_back(std::to_string(who) + ":end");
    Yield();
  }
}

class Worker : public Thread {
 public:
  Worker(Journal& journal, int who, int passes) : journal_(journal), who_(who), passes_(passes) {}

 protected:
  void Event_Run() override { WorkStretches(journal_, who_, passes_); }

 private:
  Journal& journal_;
  int who_;
  int passes_;
};

TEST(CooperativeThreads, TwoWorkersAndMainInterleaveOnlyAtYields) {
  SliceGuard strict(std::chrono::microseconds(0));
  Journal journal;
  auto a = std::make_shared<Worker>(journal, 1, 200);
  auto b = std::make_shared<Worker>(journal, 2, 200);
  a->Run();
  b->Run();
  // Both workers queue for the baton the main thread holds; from then on
  // every yield passes it on in turn.
  while (Baton::Waiters() < 2) std::this_thread::yield();
  WorkStretches(journal, 0, 200);
  a->WaitUntilDone();
  b->WaitUntilDone();

  EXPECT_EQ(journal.overlaps, 0);
  ASSERT_EQ(journal.entries.size(), 3u * 200u * 2u);
  // Every stretch's begin is directly followed by its own end.
  for (std::size_t i = 0; i < journal.entries.size(); i += 2) {
    const std::string& begin = journal.entries[i];
    const std::string& end = journal.entries[i + 1];
    ASSERT_EQ(begin.substr(begin.find(':')), ":begin") << i;
    ASSERT_EQ(end, begin.substr(0, begin.find(':')) + ":end") << i;
  }
  // With a zero time slice the threads did take turns rather than one
  // running to its end.
  int switches = 0;
  for (std::size_t i = 2; i < journal.entries.size(); i += 2)
    if (journal.entries[i][0] != journal.entries[i - 2][0]) ++switches;
  EXPECT_GT(switches, 100);
}

TEST(CooperativeThreads, YieldWithoutWaitersKeepsTheBaton) {
  ASSERT_TRUE(Baton::HeldByThisThread());
  Yield();
  EXPECT_TRUE(Baton::HeldByThisThread());
}

TEST(CooperativeThreads, ReleaserLetsAWorkerRunAndRestoresTheNestedHold) {
  bool ran = false;
  class SetFlag : public Thread {
   public:
    explicit SetFlag(bool& flag) : flag_(flag) {}

   protected:
    void Event_Run() override { flag_ = true; }

   private:
    bool& flag_;
  };
  Baton::Acquire();  // nested hold, as in a nested event dispatch
  auto worker = std::make_shared<SetFlag>(ran);
  worker->Run();
  worker->WaitUntilDone();
  EXPECT_TRUE(ran);
  EXPECT_TRUE(Baton::HeldByThisThread());
  Baton::Release();
  EXPECT_TRUE(Baton::HeldByThisThread()) << "the outer hold must survive";
}

TEST(CooperativeThreads, WorkerKeepsItselfAliveAfterTheStarterDropsIt) {
  Journal journal;
  std::weak_ptr<Thread> watch;
  {
    auto worker = std::make_shared<Worker>(journal, 7, 5);
    watch = worker;
    worker->Run();
  }
  Thread::WaitForAll();
  EXPECT_EQ(journal.entries.size(), 10u);
  EXPECT_TRUE(watch.expired());
}

TEST(CooperativeThreads, AnExceptionEndsOnlyItsOwnRun) {
  class Throws : public Thread {
   protected:
    void Event_Run() override { throw std::runtime_error("broken worker"); }
  };
  auto worker = std::make_shared<Throws>();
  worker->Run();
  worker->WaitUntilDone();
  EXPECT_FALSE(worker->IsRunning());
  EXPECT_TRUE(Baton::HeldByThisThread());
}

TEST(CooperativeThreads, MicrosecondsNeverDecrease) {
  double last = Microseconds();
  for (int i = 0; i < 10000; ++i) {
    const double now = Microseconds();
    ASSERT_GE(now, last);
    last = now;
  }
}

}  // namespace
}  // namespace framework
