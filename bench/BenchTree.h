// What the copying benchmarks share: a generated tree of many small files and
// a few large ones, a summary to tell a complete copy, and `cp -a` timed as
// the yardstick.
#pragma once

#include <fcntl.h>
#include <ftw.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

namespace benchtree {

namespace fs = std::filesystem;

struct TreeSpec {
  int smallFiles = 0;     // in folders of 500
  int smallKbMin = 1;
  int smallKbMax = 16;
  std::vector<std::string> largeFiles;  // paths below the tree's top
  long long largeMegabytes = 0;         // each
};

inline bool WriteFile(const fs::path& path, const std::vector<char>& block, long long size, std::uint64_t tag) {
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  std::vector<char> piece(block);
  for (long long written = 0; written < size;) {
    // Each block differs, so no file system could share them.
    std::memcpy(piece.data(), &tag, sizeof tag);
    ++tag;
    const std::size_t want = static_cast<std::size_t>(std::min<long long>(size - written, piece.size()));
    const ssize_t n = write(fd, piece.data(), want);
    if (n <= 0) {
      close(fd);
      return false;
    }
    written += n;
  }
  return close(fd) == 0;
}

inline bool MakeTree(const fs::path& top, const TreeSpec& spec, long long& totalBytes) {
  std::mt19937_64 random(20240601);
  std::vector<char> block(1 << 20);
  for (auto& c : block) c = static_cast<char>(random());
  std::uniform_int_distribution<int> smallSize(spec.smallKbMin * 1024, spec.smallKbMax * 1024);
  totalBytes = 0;
  std::error_code error;
  fs::create_directories(top, error);
  for (int i = 0; i < spec.smallFiles; ++i) {
    const fs::path folder = top / ("folder" + std::to_string(i / 500));
    if (i % 500 == 0 && !fs::create_directories(folder, error)) return false;
    const int size = smallSize(random);
    if (!WriteFile(folder / ("file" + std::to_string(i) + ".dat"), block, size, random())) return false;
    totalBytes += size;
  }
  const long long large = spec.largeMegabytes << 20;
  for (const std::string& name : spec.largeFiles) {
    fs::create_directories((top / name).parent_path(), error);
    if (!WriteFile(top / name, block, large, random())) return false;
    totalBytes += large;
  }
  return true;
}

struct TreeSummary {
  long long items = 0;
  long long bytes = 0;
  bool operator==(const TreeSummary&) const = default;
};

inline TreeSummary gSummary;

// Items and bytes below top, links not followed.
inline TreeSummary Summarize(const fs::path& top) {
  gSummary = {};
  nftw(
      top.c_str(),
      [](const char*, const struct stat* info, int, FTW*) {
        ++gSummary.items;
        if (S_ISREG(info->st_mode)) gSummary.bytes += info->st_size;
        return 0;
      },
      64, FTW_PHYS);
  return gSummary;
}

// Removes a copy and lets the disk settle, so the next run starts alike.
inline void Remove(const fs::path& path) {
  std::error_code error;
  fs::remove_all(path, error);
  sync();
}

// Seconds `cp -a source destination` took; -1 when it failed.
inline double TimeCp(const fs::path& source, const fs::path& destination) {
  const std::string from = source.string();
  const std::string into = destination.string();
  char* const args[] = {const_cast<char*>("cp"), const_cast<char*>("-a"), const_cast<char*>(from.c_str()),
                        const_cast<char*>(into.c_str()), nullptr};
  const auto start = std::chrono::steady_clock::now();
  pid_t child = 0;
  if (posix_spawnp(&child, "cp", nullptr, nullptr, args, environ) != 0) return -1;
  int status = 0;
  waitpid(child, &status, 0);
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? seconds : -1;
}

}  // namespace benchtree
