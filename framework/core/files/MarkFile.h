// A mark file: a small file whose exact content says that the folder it lies
// in is a program's own work, held open and locked by the run that made it
// for as long as that run works there. A folder without such a file, or with
// a file of that name holding anything else, is not the program's.
//
// The check is cheap and strict: a regular file (never a link, a pipe or a
// device: the type is looked at before anything of that name is opened)
// whose size and bytes are exactly the content. The lock is a whole-file
// lock of the open file (flock), which the system drops when its holder
// closes it or dies, so a mark left by a run that was killed is free again at
// once. A mark is locked before its content is written: no complete mark
// ever stands on the disk unlocked while its maker lives, so nobody takes a
// live run's mark. Where the disk cannot lock at all, a mark is made and
// taken all the same, unlocked (Locked() false); the caller decides what
// that means. Everything goes through the handle of the folder that holds
// the mark, so a link swapped in for the folder is never followed.
#pragma once

#include <string>
#include <string_view>

#include "framework/core/files/FileHandle.h"
#include "framework/core/files/FolderItem.h"

namespace framework {

class MarkFile {
 public:
  enum class Taken {
    Yes,            // a mark, now held by this object
    NotAMark,       // nothing there, or not exactly the content
    HeldElsewhere,  // a mark that a live holder has locked (this process included)
    Unsure,         // the look itself failed (reading, status, locking): nothing is known
  };

  MarkFile() = default;
  ~MarkFile() { Release(); }
  MarkFile(const MarkFile&) = delete;
  MarkFile& operator=(const MarkFile&) = delete;
  MarkFile(MarkFile&& other) noexcept = default;
  MarkFile& operator=(MarkFile&& other) noexcept = default;

  // Creates the mark `name` in the folder open as folderFd exclusively
  // (never over an entry already there, never through a link), locks it,
  // then writes content and flushes it to the disk. False, with nothing
  // left of it, when any of that fails, the lock included where the disk
  // has locks: LastError says why.
  bool Create(int folderFd, const std::string& name, std::string_view content);
  // Takes over the mark `name` in the folder open as folderFd when it is
  // one and nobody holds it.
  Taken Take(int folderFd, const std::string& name, std::string_view content);
  // Whether `name` in the folder open as folderFd is a mark with this
  // content, held or not; false also where the look failed.
  static bool Is(int folderFd, const std::string& name, std::string_view content);

  bool Held() const { return fd_.valid(); }
  // Held with the lock on; false where the disk has no locks.
  bool Locked() const { return locked_ && fd_.valid(); }
  FileError LastError() const { return lastError_; }
  // Closes the file, which drops the lock; the file itself stays.
  void Release();

 private:
  FileHandle fd_;
  bool locked_ = false;
  FileError lastError_ = FileError::None;
};

}  // namespace framework
