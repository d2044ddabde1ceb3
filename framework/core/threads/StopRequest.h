// A stop request that long framework operations honour in the middle.
//
// A worker that copies a tree of many gigabytes must be able to stop within
// a moment of the person's "中止" or of a quit, not only after the item in
// hand. The program keeps its stop requests in its own state (a window's
// Boolean property), which the framework cannot see; so a worker lends the
// framework a question to ask: while a StopCheck lives on a thread, the
// long operations on that thread (the copy behind FolderItem::CopyFileTo)
// ask StopRequested() between pieces and between items, and when it says
// yes they end early, remove what they created and fail with
// FileError::Stopped.
//
// Deleting is never cut short: removing a partial copy after a stop must
// finish, or remains would be left behind.
//
// The question is asked with the baton held, so it may read program state.
// Checks nest: the innermost one of the thread is asked.
#pragma once

#include <functional>

namespace framework {

class StopCheck {
 public:
  explicit StopCheck(std::function<bool()> requested);
  ~StopCheck();
  StopCheck(const StopCheck&) = delete;
  StopCheck& operator=(const StopCheck&) = delete;

 private:
  std::function<bool()> requested_;
  StopCheck* outer_;

  friend bool StopRequested();
};

// True when the innermost StopCheck of this thread asks for a stop; false
// on a thread without one.
bool StopRequested();

}  // namespace framework
