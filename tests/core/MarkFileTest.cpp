// A mark is never complete and unlocked while its maker lives: another run's
// recovery, looking while it is made, never takes it.
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

TEST(MarkFile, AMarkBeingMadeIsNeverTakenByAnotherRun) {
  std::string path = (std::filesystem::temp_directory_path() / "olvan-mark-XXXXXX").string();
  ASSERT_NE(mkdtemp(path.data()), nullptr);
  const framework::FileHandle folder(open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  constexpr int kRounds = 300;
  int taken = 0;
  for (int round = 0; round < kRounds; ++round) {
    std::atomic<bool> made{false};
    std::thread other([&] {
      for (bool last = false; !last;) {
        last = made.load();
        framework::MarkFile theirs;
        if (theirs.Take(folder.get(), ".olvan-mark", "a mark\n") == framework::MarkFile::Taken::Yes) ++taken;
      }
    });
    framework::MarkFile mine;
    EXPECT_TRUE(mine.Create(folder.get(), ".olvan-mark", "a mark\n"));
    made = true;
    other.join();
    EXPECT_TRUE(mine.Locked()) << "this disk has locks";
    mine.Release();
    unlinkat(folder.get(), ".olvan-mark", 0);
  }
  std::filesystem::remove_all(path);
  EXPECT_EQ(taken, 0) << "marks taken while being made, of " << kRounds;
}
