// The item table: one entry per absolute path, indexes that never move, and
// no duplicate even when several discovery workers add at once.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "framework/core/files/FolderItem.h"
#include "framework/core/threads/Baton.h"
#include "framework/core/threads/Thread.h"
#include "program/FakeMachine.h"
#include "program/ProgramFixture.h"

namespace {

using framework::FolderItemPtr;
using programtest::FakeMachine;
using programtest::ProgramTest;

class ItemTable : protected FakeMachine, public ProgramTest {
 protected:
  FolderItemPtr Doc(const std::string& name) const { return At("MacHD/Users/me/Documents/" + name); }
};

TEST_F(ItemTable, RecordsEachPathOnceAndKeepsTheFirstKind) {
  Window1& w = Wizard();
  Root().MakeFolder("MacHD/Users/me/Documents/Work");
  Root().WriteFile("MacHD/Users/me/Documents/a.doc");

  EXPECT_EQ(w.AddFIlist(Doc("Work"), "DD"), 0);
  EXPECT_EQ(w.AddFIlist(Doc("a.doc"), "D"), 1);
  // Another reference to the same path is the same entry, whatever kind
  // the second finder gives it.
  EXPECT_EQ(w.AddFIlist(Doc("Work"), "P"), 0);
  EXPECT_EQ(w.AddFIlist(At("MacHD/Users/me/Documents/Work/"), "AS"), 0);
  // The disk may tell letter case apart: a path differing only in case is
  // another item and must not be merged into the first.
  EXPECT_EQ(w.AddFIlist(Doc("work"), "DD"), 2);
  // So is a name that only reads alike: composed against decomposed.
  EXPECT_EQ(w.AddFIlist(Doc("データ"), "DD"), 3);
  EXPECT_EQ(w.AddFIlist(Doc("\xE3\x83\x86\xE3\x82\x99ータ"), "DD"), 4);
  // No item: nothing recorded, and an index that names no entry.
  EXPECT_EQ(w.AddFIlist(nullptr, "D"), -1);

  ASSERT_EQ(w.pFI.size(), 5u);
  EXPECT_EQ(w.pFI[0].kind, "DD");
  EXPECT_EQ(w.pFI[0].item->AbsolutePath(), Doc("Work")->AbsolutePath());
  EXPECT_EQ(w.pFI[1].kind, "D");
  EXPECT_EQ(w.pFI[2].kind, "DD");
  for (const FIEntry& entry : w.pFI) EXPECT_FALSE(entry.used);
}

// Strict round-robin at every yield, for the test's lifetime.
class RoundRobin {
 public:
  RoundRobin() : previous_(framework::Baton::TimeSlice()) {
    framework::Baton::SetTimeSlice(std::chrono::microseconds(0));
  }
  ~RoundRobin() { framework::Baton::SetTimeSlice(previous_); }

 private:
  std::chrono::microseconds previous_;
};

constexpr int kWorkers = 4;

// A discovery worker reduced to its calls of AddFIlist.
class Adder : public framework::Thread {
 public:
  // turns gets the worker's id after each call; started counts the workers
  // that have begun.
  Adder(Window1& wizard, std::vector<FolderItemPtr> items, int id, std::vector<int>& turns, int& started)
      : wizard_(wizard), items_(std::move(items)), id_(id), turns_(turns), started_(started) {}

  std::vector<std::int32_t> indexes;
  const std::vector<FolderItemPtr>& Items() const { return items_; }

 protected:
  void Event_Run() override {
    // Start together: the test is about their turns, not about who got
    // the baton first while the others were still being created.
    ++started_;
    while (started_ < kWorkers) framework::Yield();
    for (const FolderItemPtr& item : items_) {
      indexes.push_back(wizard_.AddFIlist(item, "DD"));
      turns_.push_back(id_);
    }
  }

 private:
  Window1& wizard_;
  std::vector<FolderItemPtr> items_;
  int id_;
  std::vector<int>& turns_;
  int& started_;
};

TEST_F(ItemTable, InterleavedWorkersNeverRecordOnePathTwice) {
  Window1& w = Wizard();
  // Entries already in the table make every search yield many times, so a
  // worker's search is still running when another appends the same path.
  for (int i = 0; i < 20; ++i) w.AddFIlist(Doc("old" + std::to_string(i)), "DD");

  std::vector<FolderItemPtr> fresh;
  for (int i = 0; i < 10; ++i) fresh.push_back(Doc("new" + std::to_string(i)));
  std::vector<FolderItemPtr> reversed(fresh.rbegin(), fresh.rend());
  std::vector<FolderItemPtr> mixed = {fresh[3], Doc("old5"), fresh[0], fresh[9], fresh[1], fresh[2],
                                      fresh[4], fresh[8],    fresh[5], fresh[7], fresh[6], Doc("old19")};

  std::vector<int> turns;
  RoundRobin strict;
  int started = 0;
  std::vector<std::shared_ptr<Adder>> workers;
  const std::vector<FolderItemPtr>* orders[kWorkers] = {&fresh, &reversed, &mixed, &fresh};
  for (int id = 0; id < kWorkers; ++id) workers.push_back(std::make_shared<Adder>(w, *orders[id], id, turns, started));
  for (const auto& worker : workers) worker->Run();
  for (const auto& worker : workers) worker->WaitUntilDone();

  // The workers really took turns inside their searches.
  const auto firstSwitch = std::adjacent_find(turns.begin(), turns.end(), std::not_equal_to<>());
  ASSERT_NE(firstSwitch, turns.end());
  EXPECT_LT(std::distance(turns.begin(), firstSwitch), 9);

  std::set<std::string> paths;
  for (const FIEntry& entry : w.pFI) {
    const std::string path = entry.item->AbsolutePath().ToUTF8();
    EXPECT_TRUE(paths.insert(path).second) << "recorded twice: " << path;
  }
  EXPECT_EQ(w.pFI.size(), 30u);

  // Every worker got, for each path, the entry that holds that path; so all
  // of them agree on one index per path.
  std::map<std::string, std::int32_t> indexOf;
  for (const auto& worker : workers) {
    ASSERT_EQ(worker->indexes.size(), worker->Items().size());
    for (std::size_t i = 0; i < worker->indexes.size(); ++i) {
      const std::string path = worker->Items()[i]->AbsolutePath().ToUTF8();
      const std::int32_t index = worker->indexes[i];
      SCOPED_TRACE(path);
      ASSERT_GE(index, 0);
      ASSERT_LT(static_cast<std::size_t>(index), w.pFI.size());
      EXPECT_EQ(w.pFI[static_cast<std::size_t>(index)].item->AbsolutePath().ToUTF8(), path);
      const auto [it, inserted] = indexOf.emplace(path, index);
      if (!inserted) {
        EXPECT_EQ(it->second, index);
      }
    }
  }
  EXPECT_EQ(indexOf.at(Doc("old5")->AbsolutePath().ToUTF8()), 5);
  EXPECT_EQ(indexOf.at(Doc("old19")->AbsolutePath().ToUTF8()), 19);
}

}  // namespace
