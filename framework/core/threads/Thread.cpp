#include "framework/core/threads/Thread.h"

#include <cstdio>
#include <exception>
#include <thread>

#include "framework/core/threads/Baton.h"

namespace framework {
namespace {
std::atomic<int> gRunning{0};
}  // namespace

void Thread::Run() {
  if (running_.exchange(true)) return;
  started_ = true;
  ++gRunning;
  std::shared_ptr<Thread> self = shared_from_this();
  std::thread([self]() mutable {
    Baton::Acquire();
    try {
      self->Event_Run();
    } catch (const std::exception& e) {
      std::fprintf(stderr, "worker thread ended by an exception: %s\n", e.what());
    } catch (...) {
      std::fprintf(stderr, "worker thread ended by an unknown exception\n");
    }
    // Cleared under the baton, so program code that yields until the run
    // ends sees a consistent end state.
    // The object goes (with the references it holds) under the baton too.
    self->running_ = false;
    self.reset();
    --gRunning;
    Baton::Release();
  }).detach();
}

void Thread::WaitUntilDone() const {
  while (running_.load()) {
    if (Baton::Waiters() == 0) {
      BatonReleaser letGo;  // the worker may not have asked for the baton yet
      std::this_thread::yield();
    }
    Yield();
  }
}

int Thread::RunningCount() { return gRunning.load(); }

void Thread::WaitForAll() {
  while (gRunning.load() > 0) {
    if (Baton::Waiters() == 0) {
      BatonReleaser letGo;
      std::this_thread::yield();
    }
    Yield();
  }
}

}  // namespace framework
