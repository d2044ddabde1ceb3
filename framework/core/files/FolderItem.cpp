#include "framework/core/files/FolderItem.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <unicode/normalizer2.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <ctime>
#include <optional>

#include "framework/core/files/ColonPath.h"
#include "framework/core/files/CopyTree.h"
#include "framework/core/files/FileSystemSetup.h"
#include "framework/core/files/FinderInfo.h"
#include "framework/core/files/MoveEntry.h"
#include "framework/core/files/ResolveInRoot.h"
#include "framework/core/files/Streams.h"
#include "framework/core/threads/Baton.h"

namespace framework {
namespace {

namespace fs = std::filesystem;

// A listing taken less than this after the folder last changed is not
// trusted: the file system stamps changes with a clock that advances in
// ticks of up to 10 ms, so a later change in the same tick leaves the times
// unchanged.
constexpr std::int64_t kCoarseClockNs = 100'000'000;

std::int64_t Nanoseconds(const timespec& t) { return std::int64_t{t.tv_sec} * 1'000'000'000 + t.tv_nsec; }

std::int64_t WallClockNs() {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  return Nanoseconds(now);
}

#ifdef __APPLE__
const timespec& ModificationTime(const struct stat& info) { return info.st_mtimespec; }
const timespec& ChangeTime(const struct stat& info) { return info.st_ctimespec; }
#else
const timespec& ModificationTime(const struct stat& info) { return info.st_mtim; }
const timespec& ChangeTime(const struct stat& info) { return info.st_ctim; }
#endif

bool LinkStat(const fs::path& path, struct stat& info) { return lstat(path.c_str(), &info) == 0; }

// The path the system calls take for an item: its own path, except beneath
// the old machine's disk, where the links on the way are resolved as that
// machine sees them (followLast: the last one too). Nothing, with errno
// set, where the way leads nowhere there or the disk has gone.
std::optional<fs::path> SystemPath(const fs::path& path, bool followLast) {
  const FileSystemSetup& view = CurrentFileSystemSetup();
  const DiskRoot& disk = view.oldMachineDisk;
  if (!inroot::Beneath(disk, path)) return path;
  const bool mounted = std::any_of(view.volumes.begin(), view.volumes.end(),
                                   [&](const VolumeEntry& volume) { return volume.mountPoint == disk.path; });
  if (!mounted) {
    errno = ENOENT;
    return std::nullopt;
  }
  return inroot::Resolve(disk, path, followLast);
}

// As stat and open take a path: the last link followed too.
std::optional<fs::path> Followed(const fs::path& path) { return SystemPath(path, /*followLast=*/true); }
// As lstat takes a path: the item itself, even when it is a link.
std::optional<fs::path> AsItself(const fs::path& path) { return SystemPath(path, /*followLast=*/false); }

// The item's own Finder information (a link's, never its target's).
std::optional<finderinfo::Record> OwnRecord(const fs::path& path) {
  const std::optional<fs::path> at = AsItself(path);
  if (!at) return std::nullopt;
  return finderinfo::Read(*at);
}

bool ReadFolderNames(const fs::path& folder, std::vector<std::string>& names) {
  DIR* listing = opendir(folder.c_str());
  if (!listing) return false;
  errno = 0;
  while (const dirent* entry = readdir(listing)) {
    const std::string_view name = entry->d_name;
    if (name == "." || name == "..") continue;
    names.emplace_back(name);
  }
  const bool complete = errno == 0;
  closedir(listing);
  return complete;
}

const VolumeEntry* VolumeRootedAt(const fs::path& path) {
  for (const VolumeEntry& volume : CurrentFileSystemSetup().volumes) {
    if (volume.mountPoint == path) return &volume;
  }
  return nullptr;
}

// A name usable in this folder: one component, not "." or "..".
std::optional<std::string> UsableName(const String& name) {
  std::string bytes = colonpath::PosixBytes(name);
  if (bytes.empty() || bytes == "." || bytes == ".." || bytes.find('/') != std::string::npos) return std::nullopt;
  if (bytes.find('\0') != std::string::npos) return std::nullopt;
  return bytes;
}

// The form in which a name found for the Mac matches: composed, and each
// letter simply case folded (one letter for one: "ß" stays "ß", never
// "ss"). Nothing for a name that is not well-formed UTF-8: such bytes match
// no other name.
std::optional<icu::UnicodeString> MatchingKey(const std::string& name) {
  if (!colonpath::IsUTF8(name)) return std::nullopt;
  UErrorCode status = U_ZERO_ERROR;
  const icu::Normalizer2* nfc = icu::Normalizer2::getNFCInstance(status);
  if (U_FAILURE(status)) return std::nullopt;
  const icu::UnicodeString composed = nfc->normalize(icu::UnicodeString::fromUTF8(name), status);
  icu::UnicodeString folded;
  for (std::int32_t i = 0; i < composed.length();) {
    const UChar32 c = composed.char32At(i);
    folded.append(u_foldCase(c, U_FOLD_CASE_DEFAULT));
    i += U16_LENGTH(c);
  }
  folded = nfc->normalize(folded, status);
  if (U_FAILURE(status)) return std::nullopt;
  return folded;
}

String FourCharacters(const finderinfo::Record& record, std::size_t offset) {
  std::string code(reinterpret_cast<const char*>(record.data() + offset), 4);
  if (code == std::string(4, '\0')) return String();
  return String::FromBytes(std::move(code), EncodingId::None);
}

FolderItemPtr ItemAt(const fs::path& path) {
  if (path.empty()) return nullptr;
  return FolderItem::FromPosix(path);
}

}  // namespace

FolderItem::FolderItem(fs::path posixPath) : path_(colonpath::Normalized(posixPath)) {}

FolderItemPtr FolderItem::FromPosix(fs::path posixPath) { return std::make_shared<FolderItem>(std::move(posixPath)); }

bool FolderItem::Exists() const {
  const std::optional<fs::path> at = Followed(path_);
  struct stat info {};
  return at && stat(at->c_str(), &info) == 0;
}

bool FolderItem::Directory() const {
  const std::optional<fs::path> at = AsItself(path_);
  struct stat info {};
  return at && LinkStat(*at, info) && S_ISDIR(info.st_mode);
}

bool FolderItem::Visible() const {
  if (!VolumeRootedAt(path_) && path_.filename().native().starts_with('.')) return false;
  const auto record = OwnRecord(path_);
  return !record || (finderinfo::Flags(*record) & finderinfo::kIsInvisible) == 0;
}

String FolderItem::Name() const {
  if (const VolumeEntry* volume = VolumeRootedAt(path_)) return String(volume->name);
  return colonpath::TextFromPosixBytes(path_.filename().native());
}

String FolderItem::AbsolutePath() const {
  return colonpath::TextFromPosixBytes(colonpath::ColonPathOf(path_, Directory(), CurrentFileSystemSetup()));
}

String FolderItem::MacType() const {
  if (Directory()) return String("fold");
  const auto record = OwnRecord(path_);
  return record ? FourCharacters(*record, 0) : String();
}

String FolderItem::MacCreator() const {
  if (Directory()) return String();
  const auto record = OwnRecord(path_);
  return record ? FourCharacters(*record, 4) : String();
}

void FolderItem::RefreshListing() {
  const std::int64_t askedAt = WallClockNs();
  const std::optional<fs::path> at = AsItself(path_);
  struct stat info {};
  if (!at || !LinkStat(*at, info) || !S_ISDIR(info.st_mode)) {
    entries_.clear();
    listed_ = false;
    return;
  }
  const std::int64_t modified = Nanoseconds(ModificationTime(info));
  const std::int64_t changed = Nanoseconds(ChangeTime(info));
  if (listed_ && listedInode_ == static_cast<std::uint64_t>(info.st_ino) && listedMtimeNs_ == modified &&
      listedCtimeNs_ == changed && listedAtNs_ - changed > kCoarseClockNs) {
    return;
  }
  std::vector<std::string> names;
  bool complete = false;
  {
    // This object is not touched meanwhile: the names go into a local list.
    BatonReleaser outside;
    complete = ReadFolderNames(*at, names);
    std::sort(names.begin(), names.end());
  }
  entries_ = std::move(names);
  listed_ = complete;
  listedInode_ = static_cast<std::uint64_t>(info.st_ino);
  listedMtimeNs_ = modified;
  listedCtimeNs_ = changed;
  listedAtNs_ = askedAt;
}

std::int32_t FolderItem::Count() {
  RefreshListing();
  return static_cast<std::int32_t>(entries_.size());
}

FolderItemPtr FolderItem::Item(std::int32_t index) {
  RefreshListing();
  if (index < 1 || static_cast<std::size_t>(index) > entries_.size()) return nullptr;
  return FromPosix(path_ / entries_[static_cast<std::size_t>(index - 1)]);
}

FolderItemPtr FolderItem::Child(const String& name) const {
  const std::optional<std::string> wanted = UsableName(name);
  if (!wanted) return nullptr;
  return FromPosix(path_ / *wanted);
}

FolderItemPtr FolderItem::FindChild(const String& name) const {
  const std::optional<std::string> wanted = UsableName(name);
  if (!wanted) return nullptr;
  const fs::path exact = path_ / *wanted;
  const std::optional<fs::path> exactAt = AsItself(exact);
  struct stat info {};
  if ((exactAt && LinkStat(*exactAt, info)) || !Directory()) return FromPosix(exact);
  const std::optional<icu::UnicodeString> key = MatchingKey(*wanted);
  if (!key) return FromPosix(exact);

  const std::optional<fs::path> at = AsItself(path_);
  std::vector<std::string> names;
  if (at) {
    BatonReleaser outside;
    ReadFolderNames(*at, names);
  }
  const std::string* match = nullptr;
  for (const std::string& candidate : names) {
    if (MatchingKey(candidate) != key) continue;
    // Two entries that differ only in case: the disk is case-sensitive,
    // and neither is the one asked for.
    if (match) return FromPosix(exact);
    match = &candidate;
  }
  return FromPosix(match ? path_ / *match : exact);
}

FolderItemPtr FolderItem::Parent() const {
  if (VolumeRootedAt(path_) || path_ == path_.root_path()) return nullptr;
  return FromPosix(path_.parent_path());
}

FileError FileErrorOf(int error) {
  switch (error) {
    case ENOSPC:
    case EDQUOT:
      return FileError::NoRoom;
    case EROFS:
      return FileError::ReadOnly;
    case EACCES:
    case EPERM:
      return FileError::NotPermitted;
    case ENOENT:
    case ENOTDIR:
      return FileError::NotFound;
    case EEXIST:
    case ENOTEMPTY:
      return FileError::NameTaken;
    case EIO:
      return FileError::WriteFailed;
    default:
      return FileError::Other;
  }
}

namespace {

FileError ErrorOf(const copytree::Failure& failure) {
  switch (failure.kind) {
    case copytree::Failure::Kind::Stopped:
      return FileError::Stopped;
    case copytree::Failure::Kind::Changed:
      return FileError::Changed;
    case copytree::Failure::Kind::IntoItself:
      return FileError::IntoItself;
    case copytree::Failure::Kind::AdministratorOnly:
      return FileError::AdministratorOnly;
    case copytree::Failure::Kind::Reading:
      // Not allowed to read is not the destination's fault.
      if (failure.error == EACCES || failure.error == EPERM) return FileError::NotReadable;
      if (failure.error == ENOENT || failure.error == ENOTDIR) return FileError::NotFound;
      return failure.error == EIO ? FileError::ReadFailed : FileError::Other;
    case copytree::Failure::Kind::Writing:
      // The copy writes only into the destination and the folders it made
      // there: nothing found means the destination went away.
      if (failure.error == ENOENT) return FileError::DestinationGone;
      break;
  }
  return FileErrorOf(failure.error);
}

}  // namespace

bool FolderItem::Note(bool succeeded) {
  lastErrorItem_.reset();
  lastError_ = succeeded ? FileError::None : FileErrorOf(errno);
  return succeeded;
}

bool FolderItem::CreateAsFolder() {
  const std::optional<fs::path> at = AsItself(path_);
  return Note(at && mkdir(at->c_str(), 0777) == 0);
}

bool FolderItem::CopyFileTo(const FolderItemPtr& destination) {
  if (!destination) {
    errno = ENOENT;
    return Note(false);
  }
  const std::optional<fs::path> from = AsItself(path_);
  const std::optional<fs::path> into = Followed(destination->PosixPath());
  if (!from || !into) return Note(false);
  copytree::Failure failure;
  if (copytree::CopyInto(*from, *into, &failure)) return Note(true);
  lastError_ = ErrorOf(failure);
  lastErrorItem_ = failure.item.empty() ? nullptr : FromPosix(failure.item);
  return false;
}

bool FolderItem::MoveFileTo(const FolderItemPtr& destination, const String& newName) {
  if (Note(MoveTo(destination, newName))) return true;
  // Nothing found: this item, or the folder it was to go into (whose disk
  // went away, say). Only the second is the destination's fault.
  if (lastError_ == FileError::NotFound && destination && !destination->Exists()) {
    lastError_ = FileError::DestinationGone;
  }
  return false;
}

bool FolderItem::MoveTo(const FolderItemPtr& destination, const String& newName) const {
  if (!destination) {
    errno = ENOENT;
    return false;
  }
  const std::optional<std::string> name = UsableName(newName);
  if (!name) {
    errno = EINVAL;
    return false;
  }
  const std::optional<fs::path> from = AsItself(path_);
  const std::optional<fs::path> into = Followed(destination->PosixPath());
  if (!from || !into) return false;
  return MoveEntry(AT_FDCWD, from->string(), AT_FDCWD, (*into / *name).string());
}

bool FolderItem::ExchangeWith(const FolderItemPtr& other) {
  if (!other) {
    errno = ENOENT;
    return Note(false);
  }
  const std::optional<fs::path> mine = AsItself(path_);
  const std::optional<fs::path> theirs = AsItself(other->path_);
  if (!mine || !theirs) return Note(false);
  bool exchanged = false;
  int error = 0;
  {
    BatonReleaser outside;
#ifdef __APPLE__
    exchanged = renamex_np(mine->c_str(), theirs->c_str(), RENAME_SWAP) == 0;
#else
    exchanged = renameat2(AT_FDCWD, mine->c_str(), AT_FDCWD, theirs->c_str(), RENAME_EXCHANGE) == 0;
#endif
    error = errno;
  }
  errno = error;
  return Note(exchanged);
}

bool FolderItem::Delete() {
  const std::optional<fs::path> at = AsItself(path_);
  struct stat info {};
  if (!at || !LinkStat(*at, info)) return Note(false);
  if (S_ISDIR(info.st_mode)) return Note(rmdir(at->c_str()) == 0);
  return Note(unlink(at->c_str()) == 0);
}

FolderItemPtr FolderItem::LinkTarget() {
  FolderItemPtr self = weak_from_this().lock();
  if (!self) self = FromPosix(path_);
  const std::optional<fs::path> at = AsItself(path_);
  if (!at) return nullptr;
  struct stat info {};
  if (!LinkStat(*at, info) || !S_ISLNK(info.st_mode)) return self;
  if (inroot::Beneath(CurrentFileSystemSetup().oldMachineDisk, path_)) {
    const std::optional<fs::path> target = Followed(path_);
    return target ? FromPosix(*target) : nullptr;
  }
  std::error_code error;
  const fs::path target = fs::canonical(*at, error);
  return error ? nullptr : FromPosix(target);
}

namespace {

// Opens a regular file only: never a folder, and never a FIFO or device,
// whose opening or reading could block the worker (with the baton) for as
// long as nobody writes to it. Non-blocking while it looks, then as usual.
std::FILE* OpenFile(const fs::path& item, int flags, const char* mode) {
  const std::optional<fs::path> path = Followed(item);
  if (!path) return nullptr;
  const int fd = open(path->c_str(), flags | O_NONBLOCK | O_CLOEXEC, 0666);
  if (fd < 0) return nullptr;
  struct stat info {};
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || fcntl(fd, F_SETFL, flags & O_APPEND) != 0) {
    close(fd);
    return nullptr;
  }
  std::FILE* file = fdopen(fd, mode);
  if (!file) close(fd);
  return file;
}

}  // namespace

TextInputStreamPtr FolderItem::OpenAsTextFile() const {
  std::FILE* file = OpenFile(path_, O_RDONLY, "rb");
  return file ? std::make_shared<TextInputStream>(file) : nullptr;
}

TextOutputStreamPtr FolderItem::CreateTextFile() const {
  std::FILE* file = OpenFile(path_, O_WRONLY | O_CREAT | O_TRUNC, "wb");
  return file ? std::make_shared<TextOutputStream>(file) : nullptr;
}

BinaryStreamPtr FolderItem::OpenAsBinaryFile(bool write) const {
  std::FILE* file = OpenFile(path_, write ? O_RDWR : O_RDONLY, write ? "r+b" : "rb");
  return file ? std::make_shared<BinaryStream>(file) : nullptr;
}

FolderItemPtr GetFolderItem(const String& path) {
  const std::optional<fs::path> posix = colonpath::PosixPathOf(path, CurrentFileSystemSetup());
  return posix ? ItemAt(*posix) : nullptr;
}

FolderItemPtr Volume(std::int32_t index) {
  const auto& volumes = CurrentFileSystemSetup().volumes;
  if (index < 0 || static_cast<std::size_t>(index) >= volumes.size()) return nullptr;
  return FolderItem::FromPosix(volumes[static_cast<std::size_t>(index)].mountPoint);
}

std::int32_t VolumeCount() {
  // Counting is where the program starts to list the disks: take in what was
  // mounted or unmounted since.
  RefreshMachineVolumes();
  return static_cast<std::int32_t>(CurrentFileSystemSetup().volumes.size());
}

void SetOldMachineDisk(const FolderItemPtr& disk) {
  FileSystemSetup view = CurrentFileSystemSetup();
  view.oldMachineDisk = DiskRoot{};
  if (disk) {
    // A disk that cannot be read now is fixed as one that has gone: its
    // path stands, and no folder it could ever be matches it.
    view.oldMachineDisk = inroot::RootAt(disk->PosixPath()).value_or(DiskRoot{disk->PosixPath(), 0, 0});
  }
  SetFileSystemSetup(std::move(view));
}

FolderItemPtr OldMachineDisk() { return ItemAt(CurrentFileSystemSetup().oldMachineDisk.path); }

namespace SpecialFolder {
FolderItemPtr Applications() { return ItemAt(CurrentFileSystemSetup().applications); }
FolderItemPtr Preferences() { return ItemAt(CurrentFileSystemSetup().preferences); }
FolderItemPtr ApplicationData() { return ItemAt(CurrentFileSystemSetup().applicationData); }
FolderItemPtr Documents() { return ItemAt(CurrentFileSystemSetup().documents); }
}  // namespace SpecialFolder

}  // namespace framework
