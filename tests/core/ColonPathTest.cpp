// Colon paths: what AbsolutePath shows and what GetFolderItem finds, over a
// fake volume table in a temporary folder.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "framework/core/files/FileSystemSetup.h"
#include "framework/core/files/FolderItem.h"

namespace {

namespace fs = std::filesystem;
using framework::FolderItem;
using framework::GetFolderItem;
using framework::String;

class TempFolder {
 public:
  TempFolder() {
    std::string pattern = (fs::temp_directory_path() / "olvan-colon-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
  }
  ~TempFolder() {
    std::error_code error;
    fs::remove_all(path_, error);
  }
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

void MakeFile(const fs::path& path) { std::ofstream(path) << "x"; }

// An old machine: its start-up disk "Macintosh HD" with a user folder, and
// a USB stick mounted inside it under "Volumes" (so the longest mount point
// must win), the program beside a transfer folder on the stick.
class ColonPathTest : public testing::Test {
 protected:
  void SetUp() override {
    disk_ = temp_.path() / "disk";
    stick_ = disk_ / "Volumes" / "USB";
    fs::create_directories(disk_ / "Users" / "taro" / "書類");
    fs::create_directories(stick_ / "temp");
    fs::create_directories(disk_ / "Applications" / "Tool.app" / "Contents");
    MakeFile(disk_ / "Users" / "taro" / "書類" / "メモ.txt");
    MakeFile(disk_ / "Users" / "taro" / "a:b");
    fs::create_directories(disk_ / "Users" / "taro" / "x:y:");
    framework::FileSystemSetup setup;
    setup.volumes = {{"Macintosh HD", disk_}, {"USB メモリ", stick_}};
    setup.baseFolder = stick_;
    framework::SetFileSystemSetup(setup);
  }

  TempFolder temp_;
  fs::path disk_;
  fs::path stick_;
};

TEST_F(ColonPathTest, AbsolutePathShowsVolumeAndComponentsAndRoundTrips) {
  struct Row {
    const char* name;
    fs::path posix;
    const char* colon;
  };
  const Row rows[] = {
      {"start-up disk root", disk_, "Macintosh HD:"},
      {"folder ends in colon", disk_ / "Users" / "taro", "Macintosh HD:Users:taro:"},
      {"Japanese names", disk_ / "Users" / "taro" / "書類" / "メモ.txt", "Macintosh HD:Users:taro:書類:メモ.txt"},
      {"colon in a POSIX name shows as slash", disk_ / "Users" / "taro" / "a:b", "Macintosh HD:Users:taro:a/b"},
      {"colons in a folder name", disk_ / "Users" / "taro" / "x:y:", "Macintosh HD:Users:taro:x/y/:"},
      {"bundle", disk_ / "Applications" / "Tool.app", "Macintosh HD:Applications:Tool.app:"},
      {"nested volume wins by the longest mount point", stick_ / "temp", "USB メモリ:temp:"},
      {"nested volume root", stick_, "USB メモリ:"},
      {"the folder holding the nested volume", disk_ / "Volumes", "Macintosh HD:Volumes:"},
      {"missing item is not a folder", disk_ / "Users" / "gone", "Macintosh HD:Users:gone"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const auto item = FolderItem::FromPosix(row.posix);
    EXPECT_EQ(item->AbsolutePath().ToUTF8(), row.colon);
    const auto found = GetFolderItem(row.colon);
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found->PosixPath(), row.posix);
  }
}

TEST_F(ColonPathTest, GetFolderItemResolvesTextsOfTheProgram) {
  struct Row {
    const char* name;
    const char* text;
    fs::path expected;  // empty: nullptr expected
  };
  const Row rows[] = {
      {"empty text is the base folder", "", stick_},
      {"bare name is beside the program", "temp", stick_ / "temp"},
      {"bare name that does not exist", "CopyDone", stick_ / "CopyDone"},
      {"slash in a bare name is a colon on disk", "a/b", stick_ / "a:b"},
      {"volume root with colon", "Macintosh HD:", disk_},
      {"folder without trailing colon", "Macintosh HD:Users:taro", disk_ / "Users" / "taro"},
      {"folder with trailing colon", "Macintosh HD:Users:taro:", disk_ / "Users" / "taro"},
      {"slash inside a component", "Macintosh HD:Users:taro:a/b", disk_ / "Users" / "taro" / "a:b"},
      {"second volume", "USB メモリ:temp:App:", stick_ / "temp" / "App"},
      {"unknown volume", "Other Disk:Users:", {}},
      {"volume names are compared exactly", "macintosh hd:Users:", {}},
      {"leading colon names no volume", ":temp", {}},
      {"a lone colon names no volume", ":", {}},
      {"empty component inside is refused", "Macintosh HD:Users::taro", {}},
      {"dot-dot cannot climb out", "Macintosh HD:..:etc", {}},
      {"dot is no name", "Macintosh HD:Users:.:taro", {}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const auto item = GetFolderItem(row.text);
    if (row.expected.empty()) {
      EXPECT_EQ(item, nullptr);
      continue;
    }
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->PosixPath(), row.expected);
  }
}

TEST_F(ColonPathTest, VolumeNameMatchesWhateverItsUnicodeComposition) {
  // A disk named on a Mac arrives decomposed: "データ" as "テ" followed by
  // the combining voiced sound mark.
  framework::FileSystemSetup setup;
  setup.volumes = {{"Macintosh HD", disk_}, {"\xE3\x83\x86\xE3\x82\x99ータ", stick_}};
  framework::SetFileSystemSetup(setup);
  const auto item = GetFolderItem("データ:temp");
  ASSERT_NE(item, nullptr);
  EXPECT_EQ(item->PosixPath(), stick_ / "temp");
}

TEST_F(ColonPathTest, PathOutsideEveryVolumeStartsFromItsFirstComponent) {
  framework::FileSystemSetup setup;
  setup.volumes = {{"USB", stick_}};
  framework::SetFileSystemSetup(setup);
  EXPECT_EQ(FolderItem::FromPosix("/opt/x")->AbsolutePath().ToUTF8(), "opt:x");
  EXPECT_EQ(GetFolderItem("opt:x"), nullptr);
}

TEST(VolumeNamesTest, DuplicateAndUnusableNamesBecomeUnique) {
  framework::FileSystemSetup setup;
  setup.volumes = {{"", "/"}, {"USB", "/media/a/USB"}, {"USB", "/media/b/USB"}, {"a:b", "/mnt/a:b"}, {"", "/mnt/x"},
                   {"USB", "/mnt/USB"}};
  framework::SetFileSystemSetup(setup);
  const auto& volumes = framework::CurrentFileSystemSetup().volumes;
  ASSERT_EQ(volumes.size(), 6u);
  EXPECT_EQ(volumes[0].name, "Macintosh HD");
  EXPECT_EQ(volumes[1].name, "USB");
  EXPECT_EQ(volumes[2].name, "USB 1");
  EXPECT_EQ(volumes[3].name, "a/b");
  EXPECT_EQ(volumes[4].name, "Untitled");
  EXPECT_EQ(volumes[5].name, "USB 2");
  EXPECT_EQ(GetFolderItem("USB 1:x")->PosixPath(), fs::path("/media/b/USB/x"));
  EXPECT_EQ(GetFolderItem("a/b:x")->PosixPath(), fs::path("/mnt/a:b/x"));
  EXPECT_EQ(framework::Volume(2)->Name().ToUTF8(), "USB 1");
}

}  // namespace
