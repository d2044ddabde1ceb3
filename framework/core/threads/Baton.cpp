#include "framework/core/threads/Baton.h"

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace framework {
namespace {

using Clock = std::chrono::steady_clock;

// A ticket lock: each acquirer draws the next ticket and runs when its number
// is served, so the baton passes in the order it was asked for.
struct BatonState {
  std::mutex mutex;
  std::condition_variable turn;
  std::uint64_t nextTicket = 0;
  std::uint64_t nowServing = 0;
  bool held = false;
  std::thread::id owner;
  int depth = 0;
  Clock::time_point heldSince;
  std::chrono::microseconds slice{2000};
  std::chrono::microseconds longestWait{0};
};

BatonState& State() {
  static BatonState state;
  return state;
}

// Takes the baton at the given depth; the caller does not hold it.
void AcquireFresh(BatonState& s, std::unique_lock<std::mutex>& lock, int depth) {
  const auto asked = Clock::now();
  const std::uint64_t ticket = s.nextTicket++;
  s.turn.wait(lock, [&] { return !s.held && s.nowServing == ticket; });
  s.held = true;
  s.owner = std::this_thread::get_id();
  s.depth = depth;
  s.heldSince = Clock::now();
  const auto waited = std::chrono::duration_cast<std::chrono::microseconds>(s.heldSince - asked);
  s.longestWait = std::max(s.longestWait, waited);
}

// Gives the baton to the next ticket; the caller holds it.
void ReleaseFully(BatonState& s) {
  s.held = false;
  s.owner = std::thread::id();
  s.depth = 0;
  ++s.nowServing;
  s.turn.notify_all();
}

}  // namespace

namespace Baton {

void Acquire() {
  BatonState& s = State();
  std::unique_lock lock(s.mutex);
  if (s.held && s.owner == std::this_thread::get_id()) {
    ++s.depth;
    return;
  }
  AcquireFresh(s, lock, 1);
}

void Release() {
  BatonState& s = State();
  std::lock_guard lock(s.mutex);
  if (!s.held || s.owner != std::this_thread::get_id()) return;
  if (--s.depth > 0) return;
  ReleaseFully(s);
}

bool HeldByThisThread() {
  BatonState& s = State();
  std::lock_guard lock(s.mutex);
  return s.held && s.owner == std::this_thread::get_id();
}

int Waiters() {
  BatonState& s = State();
  std::lock_guard lock(s.mutex);
  return static_cast<int>(s.nextTicket - s.nowServing) - (s.held ? 1 : 0);
}

void SetTimeSlice(std::chrono::microseconds slice) {
  BatonState& s = State();
  std::lock_guard lock(s.mutex);
  s.slice = slice;
}

std::chrono::microseconds TimeSlice() {
  BatonState& s = State();
  std::lock_guard lock(s.mutex);
  return s.slice;
}

std::chrono::microseconds LongestWait() {
  BatonState& s = State();
  std::lock_guard lock(s.mutex);
  return s.longestWait;
}

void ResetLongestWait() {
  BatonState& s = State();
  std::lock_guard lock(s.mutex);
  s.longestWait = std::chrono::microseconds{0};
}

}  // namespace Baton

BatonReleaser::BatonReleaser() : depth_(0) {
  BatonState& s = State();
  std::lock_guard lock(s.mutex);
  if (!s.held || s.owner != std::this_thread::get_id()) return;
  depth_ = s.depth;
  ReleaseFully(s);
}

BatonReleaser::~BatonReleaser() {
  if (depth_ == 0) return;
  BatonState& s = State();
  std::unique_lock lock(s.mutex);
  AcquireFresh(s, lock, depth_);
}

void OutsideBaton::Checkpoint() {
  Return();
  Yield();
  Leave();
}

void Yield() {
  BatonState& s = State();
  std::unique_lock lock(s.mutex);
  if (!s.held || s.owner != std::this_thread::get_id()) return;
  const bool someoneWaits = s.nextTicket - s.nowServing > 1;
  if (!someoneWaits) return;
  if (Clock::now() - s.heldSince < s.slice) return;
  const int depth = s.depth;
  ReleaseFully(s);
  AcquireFresh(s, lock, depth);
}

double Microseconds() {
  static const auto start = Clock::now();
  return std::chrono::duration<double, std::micro>(Clock::now() - start).count();
}

}  // namespace framework
