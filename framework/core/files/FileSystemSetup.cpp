#include "framework/core/files/FileSystemSetup.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <atomic>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <mutex>
#include <set>
#include <sstream>
#include <system_error>

#ifdef __APPLE__
#include <mach-o/dyld.h>
#endif

#include "framework/core/files/ColonPath.h"
#include "framework/core/text/String.h"

namespace framework {
namespace {

namespace fs = std::filesystem;

constexpr const char* kDefaultStartupName = "Macintosh HD";

// "\040" and the like: /proc/self/mounts and /dev/disk/by-label escape
// blanks and backslashes in octal or hexadecimal.
std::string Unescaped(const std::string& text) {
  auto octal = [](char c) { return c >= '0' && c <= '7'; };
  auto hex = [](char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; };
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\\' && i + 3 < text.size()) {
      if (octal(text[i + 1]) && octal(text[i + 2]) && octal(text[i + 3])) {
        out += static_cast<char>(std::stoi(text.substr(i + 1, 3), nullptr, 8));
        i += 3;
        continue;
      }
      if (text[i + 1] == 'x' && hex(text[i + 2]) && hex(text[i + 3])) {
        out += static_cast<char>(std::stoi(text.substr(i + 2, 2), nullptr, 16));
        i += 3;
        continue;
      }
    }
    out += text[i];
  }
  return out;
}

fs::path HomeFolder() {
  if (const char* home = std::getenv("HOME"); home && *home) return home;
  if (const passwd* entry = getpwuid(getuid()); entry && entry->pw_dir) return entry->pw_dir;
  return "/";
}

fs::path ExecutablePath() {
#ifdef __APPLE__
  std::uint32_t size = 0;
  _NSGetExecutablePath(nullptr, &size);
  std::string buffer(size, '\0');
  if (_NSGetExecutablePath(buffer.data(), &size) != 0) return {};
  std::error_code error;
  fs::path resolved = fs::canonical(buffer.c_str(), error);
  return error ? fs::path(buffer.c_str()) : resolved;
#else
  std::error_code error;
  fs::path resolved = fs::read_symlink("/proc/self/exe", error);
  return error ? fs::path() : resolved;
#endif
}

#ifdef __APPLE__
// macOS lists every mounted volume in /Volumes, the start-up disk as a link
// to "/".
void AddMachineVolumes(std::vector<VolumeEntry>& volumes) {
  std::error_code error;
  struct stat volumesFolder {};
  if (lstat("/Volumes", &volumesFolder) != 0) return;
  for (const auto& entry : fs::directory_iterator("/Volumes", error)) {
    const fs::path mount = entry.path();
    if (entry.is_symlink(error)) {
      if (fs::read_symlink(mount, error) == "/") volumes[0].name = mount.filename().string();
      continue;
    }
    struct stat info {};
    if (lstat(mount.c_str(), &info) != 0 || !S_ISDIR(info.st_mode) || info.st_dev == volumesFolder.st_dev) continue;
    volumes.push_back({mount.filename().string(), mount});
  }
}
#else
// The root file system's label, when udev publishes it.
std::string RootLabel() {
  struct stat root {};
  if (stat("/", &root) != 0) return {};
  std::error_code error;
  for (const auto& entry : fs::directory_iterator("/dev/disk/by-label", error)) {
    struct stat device {};
    if (stat(entry.path().c_str(), &device) != 0 || !S_ISBLK(device.st_mode)) continue;
    if (device.st_rdev == root.st_dev) return Unescaped(entry.path().filename().string());
  }
  return {};
}

// A mount point directly inside a folder where removable and network disks
// are mounted: /Volumes, /media and /mnt, and a user's folder in /media or
// /run/media. Any user's: a disk that the desktop's user mounted counts also
// when the program runs as another user.
bool IsVolumeMountPoint(const fs::path& mount) {
  const fs::path parent = mount.parent_path();
  if (mount == parent) return false;
  if (parent == "/Volumes" || parent == "/media" || parent == "/mnt") return true;
  const fs::path grandparent = parent.parent_path();
  return grandparent == "/media" || grandparent == "/run/media";
}

void AddMachineVolumes(std::vector<VolumeEntry>& volumes) {
  volumes[0].name = RootLabel();
  std::ifstream mounts("/proc/self/mounts");
  std::string line;
  std::set<fs::path> seen;
  while (std::getline(mounts, line)) {
    std::istringstream fields(line);
    std::string device, mountPoint, type;
    if (!(fields >> device >> mountPoint >> type)) continue;
    if (type == "autofs") continue;  // a trigger, not a disk; the real mount follows it
    const fs::path mount = colonpath::Normalized(Unescaped(mountPoint));
    if (!IsVolumeMountPoint(mount) || !seen.insert(mount).second) continue;
    volumes.push_back({mount.filename().string(), mount});
  }
}
#endif

// Names become colon-path components: a ":" shows as "/", as in every name,
// and a volume needs a name. A name taken already gets " 1", " 2", ... as
// the Mac numbers duplicate volume names.
void MakeNamesUsable(std::vector<VolumeEntry>& volumes) {
  std::vector<String> taken;
  for (std::size_t i = 0; i < volumes.size(); ++i) {
    VolumeEntry& volume = volumes[i];
    volume.mountPoint = colonpath::Normalized(volume.mountPoint);
    std::string name = colonpath::ComponentFromPosixName(volume.name);
    if (name.empty()) name = i == 0 ? kDefaultStartupName : "Untitled";
    std::string unique = name;
    for (int n = 1; std::find(taken.begin(), taken.end(), String(unique)) != taken.end(); ++n) {
      unique = name + " " + std::to_string(n);
    }
    volume.name = unique;
    taken.emplace_back(unique);
  }
}

// Every view ever set stays alive, so a reference taken by one thread stays
// valid when a test replaces the view; tests set one per test, so few pile up.
struct SetupStore {
  std::mutex mutex;
  std::vector<std::unique_ptr<const FileSystemSetup>> kept;
  std::atomic<const FileSystemSetup*> current{nullptr};
};

SetupStore& Store() {
  static SetupStore store;
  return store;
}

const FileSystemSetup* Keep(SetupStore& store, FileSystemSetup setup) {
  MakeNamesUsable(setup.volumes);
  store.kept.push_back(std::make_unique<const FileSystemSetup>(std::move(setup)));
  const FileSystemSetup* kept = store.kept.back().get();
  store.current.store(kept, std::memory_order_release);
  return kept;
}

}  // namespace

FileSystemSetup MachineFileSystemSetup() {
  FileSystemSetup setup;
  setup.volumes.push_back({"", "/"});
  AddMachineVolumes(setup.volumes);
  MakeNamesUsable(setup.volumes);

  const fs::path home = HomeFolder();
#ifdef __APPLE__
  setup.applications = "/Applications";
#else
  setup.applications = home / "Applications";
#endif
  setup.preferences = home / "Library" / "Preferences";
  setup.applicationData = home / "Library" / "Application Support";
  setup.documents = home / "Documents";
  const fs::path executable = ExecutablePath();
  setup.baseFolder = executable.empty() ? fs::current_path() : BaseFolderForExecutable(executable);
  return setup;
}

void SetFileSystemSetup(FileSystemSetup setup) {
  SetupStore& store = Store();
  std::lock_guard lock(store.mutex);
  Keep(store, std::move(setup));
}

const FileSystemSetup& CurrentFileSystemSetup() {
  SetupStore& store = Store();
  if (const FileSystemSetup* current = store.current.load(std::memory_order_acquire)) return *current;
  std::lock_guard lock(store.mutex);
  if (const FileSystemSetup* current = store.current.load(std::memory_order_acquire)) return *current;
  return *Keep(store, MachineFileSystemSetup());
}

std::vector<VolumeEntry> FollowMounts(const std::vector<VolumeEntry>& known,
                                      const std::vector<VolumeEntry>& mounted) {
  auto mountedAt = [](const std::vector<VolumeEntry>& list, const fs::path& mount) {
    return std::any_of(list.begin(), list.end(), [&](const VolumeEntry& v) { return v.mountPoint == mount; });
  };
  std::vector<VolumeEntry> result;
  std::vector<VolumeEntry> newcomers;
  for (std::size_t i = 0; i < known.size(); ++i) {
    if (i == 0 || mountedAt(mounted, known[i].mountPoint)) result.push_back(known[i]);
  }
  for (std::size_t i = 1; i < mounted.size(); ++i) {
    if (!mountedAt(known, mounted[i].mountPoint)) newcomers.push_back(mounted[i]);
  }
  // Only the newcomers' names are raw; the known ones are usable already and
  // must not change.
  for (VolumeEntry volume : newcomers) {
    std::string name = colonpath::ComponentFromPosixName(volume.name);
    if (name.empty()) name = "Untitled";
    std::string unique = name;
    auto taken = [&](const std::string& candidate) {
      return std::any_of(result.begin(), result.end(),
                         [&](const VolumeEntry& v) { return String(v.name) == String(candidate); });
    };
    for (int n = 1; taken(unique); ++n) unique = name + " " + std::to_string(n);
    volume.name = unique;
    volume.mountPoint = colonpath::Normalized(volume.mountPoint);
    result.push_back(std::move(volume));
  }
  return result;
}

namespace {
std::atomic<bool> gFollowMachineMounts{false};
}  // namespace

void FollowMachineMounts(bool follow) { gFollowMachineMounts = follow; }

void RefreshMachineVolumes() {
  if (!gFollowMachineMounts) return;
  const FileSystemSetup& current = CurrentFileSystemSetup();
  std::vector<VolumeEntry> mounted{{"", "/"}};
  AddMachineVolumes(mounted);
  std::vector<VolumeEntry> followed = FollowMounts(current.volumes, mounted);
  const bool same = std::equal(followed.begin(), followed.end(), current.volumes.begin(), current.volumes.end(),
                               [](const VolumeEntry& a, const VolumeEntry& b) {
                                 return a.mountPoint == b.mountPoint && a.name == b.name;
                               });
  if (same) return;
  FileSystemSetup next = current;
  next.volumes = std::move(followed);
  SetFileSystemSetup(std::move(next));
}

fs::path BaseFolderForExecutable(const fs::path& executable) {
  const fs::path folder = colonpath::Normalized(executable).parent_path();
  const fs::path contents = folder.parent_path();
  const fs::path bundle = contents.parent_path();
  if (folder.filename() == "MacOS" && contents.filename() == "Contents" && bundle.extension() == ".app") {
    return bundle.parent_path();
  }
  return folder;
}

}  // namespace framework
