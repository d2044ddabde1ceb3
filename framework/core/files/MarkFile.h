// A mark file: a small file whose exact content says that the folder it lies
// in is a program's own work, held open and locked by the run that made it
// for as long as that run works there. A folder without such a file, or with
// a file of that name holding anything else, is not the program's.
//
// The check is cheap and strict: a regular file (never a link, a pipe or a
// device, none of which is followed or opened for long) whose size and bytes
// are exactly the content. The lock is a whole-file lock of the open file
// (flock), which the system drops when its holder closes it or dies, so a
// mark left by a run that was killed is free again at once. Where the disk
// cannot lock at all, a mark is made and taken all the same, unlocked
// (Locked() false); the caller decides what that means.
#pragma once

#include <filesystem>
#include <string_view>

#include "framework/core/files/FolderItem.h"

namespace framework {

class MarkFile {
 public:
  enum class Taken {
    Yes,            // a mark, now held by this object
    NotAMark,       // nothing there, or not exactly the content
    HeldElsewhere,  // a mark that a live holder has locked (this process included)
  };

  MarkFile() = default;
  ~MarkFile() { Release(); }
  MarkFile(const MarkFile&) = delete;
  MarkFile& operator=(const MarkFile&) = delete;
  MarkFile(MarkFile&& other) noexcept;
  MarkFile& operator=(MarkFile&& other) noexcept;

  // Creates the mark at path exclusively (never over an entry already
  // there, never through a link), writes content, flushes it to the disk and
  // locks it. False, with nothing left at path, when any of that fails but
  // the lock: LastError says why.
  bool Create(const std::filesystem::path& path, std::string_view content);
  // Takes over the mark at path when it is one and nobody holds it.
  Taken Take(const std::filesystem::path& path, std::string_view content);
  // Whether path is a mark with this content, held or not.
  static bool Is(const std::filesystem::path& path, std::string_view content);

  bool Held() const { return fd_ >= 0; }
  // Held with the lock on; false where the disk has no locks.
  bool Locked() const { return locked_; }
  FileError LastError() const { return lastError_; }
  // Closes the file, which drops the lock; the file itself stays.
  void Release();

 private:
  int fd_ = -1;
  bool locked_ = false;
  FileError lastError_ = FileError::None;
};

}  // namespace framework
