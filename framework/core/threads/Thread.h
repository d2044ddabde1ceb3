// The cooperative worker thread.
//
// A subclass overrides Event_Run; Run starts it on a new thread, which holds
// the baton for the whole of Event_Run (giving it up at each Yield). The
// object keeps itself alive while it runs, so the starter may drop its
// reference at once, as the program does.
#pragma once

#include <atomic>
#include <memory>

namespace framework {

class Thread : public std::enable_shared_from_this<Thread> {
 public:
  Thread() = default;
  virtual ~Thread() = default;
  Thread(const Thread&) = delete;
  Thread& operator=(const Thread&) = delete;

  // Starts Event_Run on a new thread. The object must be owned by a
  // shared_ptr. A second Run while the first still runs does nothing.
  void Run();
  bool IsRunning() const { return running_.load(); }
  bool HasRun() const { return started_.load(); }

  // Waits until the run has ended, with the baton given up meanwhile so the
  // workers run at once (the hold is taken back, as deep as before).
  void WaitUntilDone() const;

  // Workers still running in the process.
  static int RunningCount();
  // Waits the same way until every worker has ended (shut-down and tests).
  static void WaitForAll();

 protected:
  virtual void Event_Run() = 0;

 private:
  std::atomic<bool> running_{false};
  std::atomic<bool> started_{false};
};

}  // namespace framework
