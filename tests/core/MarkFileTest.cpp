// Mark files under another run's eyes: a mark is never complete and unlocked
// while its maker lives, so no other run takes it.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <string>
#include <thread>

#include "framework/core/files/FileHandle.h"
#include "framework/core/files/MarkFile.h"

namespace {

using framework::MarkFile;

TEST(MarkFile, AMarkBeingMadeIsNeverTakenByAnotherRun) {
  std::string path = (std::filesystem::temp_directory_path() / "olvan-mark-XXXXXX").string();
  ASSERT_NE(mkdtemp(path.data()), nullptr);
  const framework::FileHandle folder(open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  ASSERT_TRUE(folder.valid());
  const std::string content = "a mark\n";
  constexpr int kRounds = 300;
  int taken = 0;
  int failedCreates = 0;
  for (int round = 0; round < kRounds; ++round) {
    std::atomic<bool> made{false};
    std::thread other([&] {
      // Another run's recovery, looking while the mark is being made.
      for (bool last = false; !last;) {
        last = made.load();
        MarkFile theirs;
        if (theirs.Take(folder.get(), ".olvan-mark", content) == MarkFile::Taken::Yes) ++taken;
      }
    });
    MarkFile mine;
    if (!mine.Create(folder.get(), ".olvan-mark", content)) ++failedCreates;
    made = true;
    other.join();
    ASSERT_TRUE(mine.Locked()) << "this disk has locks";
    mine.Release();
    unlinkat(folder.get(), ".olvan-mark", 0);
  }
  std::filesystem::remove_all(path);
  EXPECT_EQ(failedCreates, 0);
  EXPECT_EQ(taken, 0) << "of " << kRounds << " marks being made, taken by another run";
}

}  // namespace
