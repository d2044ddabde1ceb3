// File, bundle and timing helpers on real files.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "framework/core/threads/Baton.h"
#include "helpers/Globals.h"
#include "support/TempTree.h"

namespace {

using framework::FolderItem;
using framework::String;
using testsupport::TempTree;

TEST(ExtractExtn, SplitsAtTheLastDot) {
  struct Row {
    const char* s;
    const char* body;
    const char* extn;
  };
  const Row rows[] = {
      {"a.b.c", "a.b", "c"}, {"name.", "name", ""}, {".x", "", "x"},
      {"a..b", "a.", "b"},   {"noext", "noext", ""}, {"", "", ""},
      {"書類.フォルダ.app", "書類.フォルダ", "app"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.s);
    String body;
    String extn;
    Globals::gExtractBodyAndExtn(row.s, body, extn);
    EXPECT_EQ(body.ToUTF8(), row.body);
    EXPECT_EQ(extn.ToUTF8(), row.extn);
    EXPECT_EQ(Globals::gExtractExtn(row.s).ToUTF8(), row.extn);
  }
}

TEST(ExtractExtn, WithoutADotTheExtensionKeepsWhatItCameWith) {
  String body;
  String extn = "kept";
  Globals::gExtractBodyAndExtn("noext", body, extn);
  EXPECT_EQ(body.ToUTF8(), "noext");
  EXPECT_EQ(extn.ToUTF8(), "kept");
}

TEST(AppPackage, OnlyFoldersNamedDotApp) {
  TempTree tree;
  tree.Folder("Tool.app");
  tree.File("Plain.app", "not a folder");
  tree.Folder("Tool");
  tree.Folder("Tool.APP");
  EXPECT_TRUE(Globals::gAppPackage(FolderItem::FromPosix(tree / "Tool.app")));
  EXPECT_FALSE(Globals::gAppPackage(FolderItem::FromPosix(tree / "Plain.app")));
  EXPECT_FALSE(Globals::gAppPackage(FolderItem::FromPosix(tree / "Tool")));
  // The framework's text equality is case-sensitive.
  EXPECT_FALSE(Globals::gAppPackage(FolderItem::FromPosix(tree / "Tool.APP")));
}

TEST(GetTypeCre, ReadsPkgInfoOfAPackageAndFinderInfoOfAFile) {
  TempTree tree;
  tree.Bundle("NoEnd.app", "APPLabcd");
  tree.Bundle("TwoLines.app", "APPLqZw1\nmore text");
  tree.Bundle("Spaces.app", "APPLqZw1  ");
  tree.Folder("Empty.app/Contents");
  // A gigabyte without a line end (sparse: nothing is written) is read no
  // further than its prefix; read whole, it would take seconds and the
  // gigabyte in memory while the scan holds the baton.
  const auto huge = tree.Bundle("Huge.app", "APPLqZw1");
  std::filesystem::resize_file(huge / "Contents/PkgInfo", std::uintmax_t{1} << 30);
  const auto doc = tree.File("letter.txt", "hello");
  const bool haveXattr = TempTree::SetTypeCreator(doc, "TEXT", "ttxt");
  tree.File("bare.bin", "x");

  EXPECT_EQ(Globals::gGetTypeCre(FolderItem::FromPosix(tree / "NoEnd.app")).ToUTF8(), "APPLabcd");
  EXPECT_EQ(Globals::gGetTypeCre(FolderItem::FromPosix(tree / "TwoLines.app")).ToUTF8(), "APPLqZw1");
  EXPECT_EQ(Globals::gGetTypeCre(FolderItem::FromPosix(tree / "Spaces.app")).ToUTF8(), "APPLqZw1  ")
      << "the line is returned without trimming";
  EXPECT_EQ(Globals::gGetTypeCre(FolderItem::FromPosix(tree / "Empty.app")).ToUTF8(), "");
  EXPECT_EQ(Globals::gGetTypeCre(FolderItem::FromPosix(huge)).Bytes(),
            "APPLqZw1" + std::string(Globals::kPkgInfoReadLimit - 8, '\0'));
  EXPECT_EQ(Globals::gGetTypeCre(FolderItem::FromPosix(tree / "bare.bin")).ToUTF8(), "");
  if (haveXattr) {
    EXPECT_EQ(Globals::gGetTypeCre(FolderItem::FromPosix(doc)).ToUTF8(), "TEXTttxt");
  }
}

TEST(Wait, ReturnsOnlyAfterTheClockPassedTheTime) {
  const double before = framework::Microseconds();
  Globals::gWait(100);
  EXPECT_GT(framework::Microseconds() - before, 100000.0);
  const double again = framework::Microseconds();
  Globals::gWait(0);
  Globals::gWait(-5);
  EXPECT_LT(framework::Microseconds() - again, 50000.0);
  EXPECT_TRUE(framework::Baton::HeldByThisThread());
}

TEST(DeleteFolder, DeletesTheFolderWithEverythingInIt) {
  TempTree tree;
  tree.File("R/a", "1");
  tree.File("R/m/b", "2");
  tree.File("R/z", "3");
  Globals::gDeleteFolder(FolderItem::FromPosix(tree / "R"));
  EXPECT_FALSE(std::filesystem::exists(tree / "R"));
  EXPECT_TRUE(std::filesystem::exists(tree.root()));
}

TEST(DeleteFolder, ASingleFileIsDeletedAlone) {
  TempTree tree;
  tree.File("keep", "k");
  const auto f = tree.File("gone", "g");
  Globals::gDeleteFolder(FolderItem::FromPosix(f));
  EXPECT_FALSE(std::filesystem::exists(f));
  EXPECT_TRUE(std::filesystem::exists(tree / "keep"));
}

TEST(DeleteFolder, NeverLeavesItsTreeThroughALink) {
  TempTree tree;
  tree.File("outside/precious.txt", "keep me");
  tree.File("outside/sub/deep.txt", "keep me too");
  tree.File("R/own.txt", "x");
  std::filesystem::create_directory_symlink(tree / "outside", tree / "R/link-to-folder");
  std::filesystem::create_symlink(tree / "outside/precious.txt", tree / "R/link-to-file");
  std::filesystem::create_symlink(tree / "nowhere", tree / "R/broken");

  Globals::gDeleteFolder(FolderItem::FromPosix(tree / "R"));

  EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(tree / "R")));
  EXPECT_TRUE(std::filesystem::exists(tree / "outside/precious.txt"));
  EXPECT_TRUE(std::filesystem::exists(tree / "outside/sub/deep.txt"));
}

// An item that cannot be deleted stays, with the folders above it; everything
// else goes. The immutable attribute stops even root.
TEST(DeleteFolder, AnUndeletableItemLeavesItsFoldersAndTheRestGoes) {
  TempTree tree;
  tree.File("R/a", "1");
  const auto locked = tree.File("R/S/locked", "2");
  tree.File("R/S/b", "3");
  tree.File("R/c", "4");
  // An empty folder that cannot go either, in a tree of its own where
  // nothing else fails (it was once tried again and again, for ever).
  tree.File("Q/x", "5");
  const auto lockedFolder = tree / "Q/T";
  std::filesystem::create_directory(lockedFolder);
  const std::string both = "'" + locked.string() + "' '" + lockedFolder.string() + "'";
  if (std::system(("chattr +i " + both + " 2>/dev/null").c_str()) != 0) {
    GTEST_SKIP() << "this file system cannot lock a file";
  }
  Globals::gDeleteFolder(FolderItem::FromPosix(tree / "R"));
  Globals::gDeleteFolder(FolderItem::FromPosix(tree / "Q"));
  ASSERT_EQ(std::system(("chattr -i " + both).c_str()), 0);

  EXPECT_TRUE(std::filesystem::exists(locked));
  EXPECT_TRUE(std::filesystem::exists(lockedFolder));
  EXPECT_TRUE(std::filesystem::exists(tree / "R/S"));
  EXPECT_FALSE(std::filesystem::exists(tree / "R/a"));
  EXPECT_FALSE(std::filesystem::exists(tree / "R/S/b"));
  EXPECT_FALSE(std::filesystem::exists(tree / "R/c"));
  EXPECT_FALSE(std::filesystem::exists(tree / "Q/x"));
}

}  // namespace
