// The one baton of the cooperative threads.
//
// The program is written for cooperative threads: only one piece of program
// code runs at a time, and control passes only where the code yields. Here
// the threads are real, and this baton makes them take turns: program code
// runs only while its thread holds the baton. The baton is a fair FIFO
// hand-off lock; a thread that already holds it may take it again (nested
// event dispatch), and gives it up when it releases as often as it took it.
//
// Waits that are not program code (the GUI thread idle in its event loop, a
// modal dialog's nested loop, a worker waiting for the user's answer, a long
// system call inside a file copy) give the baton up entirely with
// BatonReleaser and take it back afterwards.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>

namespace framework {

namespace Baton {
// Takes the baton (waiting in FIFO order), or deepens the hold of a thread
// that already has it.
void Acquire();
// Undoes one Acquire; the last one hands the baton to the next waiter.
void Release();
bool HeldByThisThread();
// Threads waiting for the baton now.
int Waiters();

// The time slice of Yield: a thread that yields hands the baton over only
// when someone waits and it has held the baton this long. Zero makes every
// Yield a strict round-robin hand-off (tests).
void SetTimeSlice(std::chrono::microseconds slice);
std::chrono::microseconds TimeSlice();

// The longest time any thread waited in Acquire since the last reset
// (measurement for benchmarks).
std::chrono::microseconds LongestWait();
void ResetLongestWait();
}  // namespace Baton

// Gives the baton up entirely (however deep the hold) for its lifetime and
// takes it back, as deep as before, when it ends. Does nothing on a thread
// that does not hold the baton.
class BatonReleaser {
 public:
  BatonReleaser();
  ~BatonReleaser();
  BatonReleaser(const BatonReleaser&) = delete;
  BatonReleaser& operator=(const BatonReleaser&) = delete;

 private:
  int depth_;
};

// The baton given up while a long operation is inside system calls (nothing
// it touches meanwhile is program state): given up when made, taken back
// for good by Return or at the end of its lifetime.
class OutsideBaton {
 public:
  OutsideBaton() { released_.emplace(); }
  // Takes the baton back (as deep as it was held before).
  void Return() { released_.reset(); }
  // Gives it up again after a Return.
  void Leave() {
    if (!released_) released_.emplace();
  }
  // Takes the baton back for a moment so that program code waiting for it
  // runs, then gives it up again.
  void Checkpoint();

 private:
  std::optional<BatonReleaser> released_;
};

// Takes the baton for its lifetime (re-entrant).
class BatonHolder {
 public:
  BatonHolder() { Baton::Acquire(); }
  ~BatonHolder() { Baton::Release(); }
  BatonHolder(const BatonHolder&) = delete;
  BatonHolder& operator=(const BatonHolder&) = delete;
};

// The cooperative yield that ends every loop pass of the program: hands the
// baton to the next waiting thread when one waits and the time slice is used
// up; otherwise returns at once. Outside the baton it does nothing.
void Yield();

// A double count of microseconds that never decreases.
double Microseconds();

}  // namespace framework
