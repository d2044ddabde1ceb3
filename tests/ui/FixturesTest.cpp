// The file-tree fixtures write what the framework reads: bundles, Finder
// information, and an injected machine view that does not outlive its scope.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "framework/core/files/FileSystemSetup.h"
#include "framework/core/files/FolderItem.h"
#include "framework/testing/FileSystemSetupGuard.h"
#include "framework/testing/TempFolder.h"

namespace {

using framework::FolderItem;
using framework::TempFolder;

TEST(Fixtures, TheTemporaryFolderGoesWithEverythingInItEvenReadOnlyFolders) {
  std::filesystem::path kept;
  {
    TempFolder tree;
    kept = tree.Path();
    tree.WriteFile("Users/old/Library/Preferences/locked/file", "x");
    std::filesystem::permissions(tree / "Users/old/Library/Preferences/locked",
                                 std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    ASSERT_TRUE(std::filesystem::exists(tree / "Users/old/Library/Preferences/locked/file"));
  }
  EXPECT_FALSE(std::filesystem::exists(kept));
}

TEST(Fixtures, ABundleCarriesItsCodeAsWritten) {
  TempFolder tree;
  const auto bundle = tree.MakeBundle("Applications/Tool.app", "APPLqZw1");
  std::ifstream in(bundle / "Contents/PkgInfo", std::ios::binary);
  const std::string code((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(code, "APPLqZw1");
  EXPECT_TRUE(std::filesystem::is_directory(bundle / "Contents/MacOS"));
}

TEST(Fixtures, FinderInfoIsReadBackAsTypeCreatorAndVisibility) {
  TempFolder tree;
  const auto doc = tree.WriteFile("Documents/letter", "text");
  const auto hidden = tree.WriteFile("Documents/hidden", "text");
  if (!framework::WriteFinderInfo(doc, "Gml3", "qZw1")) GTEST_SKIP() << "no extended attributes here";
  ASSERT_TRUE(framework::WriteFinderInfo(hidden, "TEXT", "ttx", framework::kFinderFlagInvisible));
  const auto item = FolderItem::FromPosix(doc);
  EXPECT_EQ(item->MacType().ToUTF8(), "Gml3");
  EXPECT_EQ(item->MacCreator().ToUTF8(), "qZw1");
  EXPECT_TRUE(item->Visible());
  const auto other = FolderItem::FromPosix(hidden);
  EXPECT_EQ(other->MacCreator().ToUTF8(), "ttx ");
  EXPECT_FALSE(other->Visible());
}

TEST(Fixtures, AnInjectedMachineViewIsUndoneInNestingOrder) {
  TempFolder tree;
  const std::filesystem::path before = framework::CurrentFileSystemSetup().applications;
  framework::FileSystemSetup outer;
  outer.volumes = {{"Macintosh HD", tree.MakeFolder("root")}};
  outer.applications = tree.MakeFolder("root/Applications");
  {
    framework::FileSystemSetupGuard outerGuard(outer);
    framework::FileSystemSetup inner = outer;
    inner.applications = tree.MakeFolder("other/Applications");
    {
      framework::FileSystemSetupGuard innerGuard(inner);
      EXPECT_EQ(framework::CurrentFileSystemSetup().applications, inner.applications);
    }
    EXPECT_EQ(framework::CurrentFileSystemSetup().applications, outer.applications);
    EXPECT_EQ(framework::CurrentFileSystemSetup().volumes.at(0).name, "Macintosh HD");
  }
  EXPECT_EQ(framework::CurrentFileSystemSetup().applications, before);
}

}  // namespace
