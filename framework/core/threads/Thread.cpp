#include "framework/core/threads/Thread.h"

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <exception>
#include <thread>

#include "framework/core/threads/Baton.h"

namespace framework {
namespace {
std::atomic<int> gRunning{0};
// Signalled whenever a run ends, so a thread waiting for workers can wait
// without the baton instead of holding it through whole time slices.
std::mutex gEndedMutex;
std::condition_variable gEnded;

template <class Done>
void WaitWithoutBaton(Done done) {
  while (!done()) {
    BatonReleaser letWorkersRun;
    std::unique_lock lock(gEndedMutex);
    gEnded.wait_for(lock, std::chrono::milliseconds(1), done);
  }
}
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
    {
      std::lock_guard lock(gEndedMutex);
      gEnded.notify_all();
    }
    Baton::Release();
  }).detach();
}

void Thread::WaitUntilDone() const {
  WaitWithoutBaton([this] { return !running_.load(); });
}

int Thread::RunningCount() { return gRunning.load(); }

void Thread::WaitForAll() {
  WaitWithoutBaton([] { return gRunning.load() == 0; });
}

}  // namespace framework
