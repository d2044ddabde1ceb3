// The copy-done marker over real bundles beside the program: which bundles
// count as the assistant's own, and that a launch opens STEP 4 only when one
// of them holds the marker.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "framework/testing/ScriptedUser.h"
#include "program/FakeMachine.h"
#include "shell/Startup.h"
#include "wizard/Window1.h"

namespace {

namespace fs = std::filesystem;
using programtest::FakeMachine;
using programtest::WizardAccess;

const char* const kBase = "USB/OLVAN/";

// Launches are part of what is tested here, so the fixture starts the
// program only after the test has laid out the base folder.
class CopyDoneMarker : protected FakeMachine, public ::testing::Test {
 protected:
  ~CopyDoneMarker() override {
    if (running_) ShutDownProgram();
  }
  void TearDown() override { EXPECT_EQ(user_.Report(), ""); }

  Window1& Launch() {
    StartProgram();
    running_ = true;
    return Window1::Instance();
  }
  void Quit() {
    ShutDownProgram();
    running_ = false;
  }

  // A bundle in the base folder with the given PkgInfo bytes, with or
  // without a Resources folder in its Contents.
  void Bundle(const std::string& name, const std::string& pkgInfo, bool resources = true) const {
    Root().MakeBundle(kBase + name, pkgInfo);
    if (resources) Root().MakeFolder(kBase + name + "/Contents/Resources");
  }
  fs::path Marker(const std::string& bundle) const {
    return Root() / (kBase + bundle + "/Contents/Resources/CopyDone");
  }
  void PutMarker(const std::string& bundle, const std::string& bytes = "") const {
    Root().WriteFile(kBase + bundle + "/Contents/Resources/CopyDone", bytes);
  }
  void EmptyBaseFolder() const {
    fs::remove_all(Root() / kBase);
    Root().MakeFolder(kBase);
  }

  framework::ScriptedUser user_;

 private:
  bool running_ = false;
};

TEST_F(CopyDoneMarker, ALaunchOpensStepFourOnlyWhenAnOwnBundleHoldsTheMarker) {
  struct Case {
    const char* name;
    std::function<void()> layout;
    bool stepFour;
  };
  const Case cases[] = {
      {"marker in the second of two own copies",
       [this] {
         Bundle("A.app", "APPLqZws");
         Bundle("B.app", "APPLqZws");
         PutMarker("B.app");
       },
       true},
      {"marker in the first of two own copies",
       [this] {
         Bundle("A.app", "APPLqZws");
         Bundle("B.app", "APPLqZws");
         PutMarker("A.app");
       },
       true},
      {"marker in another application's bundle",
       [this] {
         Bundle("Toskarine.app", "APPLqZw1");
         PutMarker("Toskarine.app");
       },
       false},
      {"extra text on the code's line",
       [this] {
         Bundle("A.app", "APPLqZws????");
         PutMarker("A.app");
       },
       false},
      {"more lines after the code",
       [this] {
         Bundle("A.app", "APPLqZws\nAPPLzzzz\n");
         PutMarker("A.app");
       },
       true},
      {"a carriage return ends the code's line",
       [this] {
         Bundle("A.app", "APPLqZws\r");
         PutMarker("A.app");
       },
       true},
      {"own bundle without the app extension",
       [this] {
         Bundle("OLVAN Assistant", "APPLqZws");
         PutMarker("OLVAN Assistant");
       },
       false},
      {"a plain file named like a bundle", [this] { Root().WriteFile(std::string(kBase) + "Fake.app", "APPLqZws\n"); },
       false},
      {"a bundle without PkgInfo", [this] { PutMarker("A.app"); }, false},
      {"own bundle without Resources", [this] { Bundle("A.app", "APPLqZws", /*resources=*/false); }, false},
      {"empty base folder", [] {}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EmptyBaseFolder();
    c.layout();
    const Window1& w = Launch();
    EXPECT_EQ(w.PagePanel1().Value(), c.stepFour ? 3 : 0);
    EXPECT_EQ(w.pPastePhase, c.stepFour ? Window1::PhasePastePending : Window1::PhaseCopy);
    Quit();
  }
  // Looking never says anything.
  EXPECT_TRUE(user_.MessageBoxes().empty());
  EXPECT_TRUE(user_.Dialogs().empty());
}

TEST_F(CopyDoneMarker, WritingAndDeletingReachEveryOwnBundleAndNoOther) {
  Bundle("A.app", "APPLqZws");
  Bundle("B.app", "APPLqZws\n");
  Bundle("NoRes.app", "APPLqZws", /*resources=*/false);
  Bundle("Toskarine.app", "APPLqZw1");
  Bundle("OLVAN Assistant", "APPLqZws");
  Root().WriteFile(std::string(kBase) + "Fake.app", "APPLqZws");
  PutMarker("Toskarine.app", "theirs");
  Window1& w = Launch();
  ASSERT_EQ(w.PagePanel1().Value(), 0);
  // A marker left from an earlier run is written anew, empty.
  PutMarker("B.app", "stale");

  WizardAccess::WriteMarker(w);
  EXPECT_TRUE(fs::is_regular_file(Marker("A.app")));
  EXPECT_TRUE(fs::is_regular_file(Marker("B.app")));
  EXPECT_EQ(fs::file_size(Marker("A.app")), 0u);
  EXPECT_EQ(fs::file_size(Marker("B.app")), 0u);
  // The bundle without Resources is told about once and left as it was.
  EXPECT_EQ(user_.MessageBoxes(), (std::vector<framework::String>{"失敗"}));
  EXPECT_FALSE(fs::exists(Root() / (std::string(kBase) + "NoRes.app/Contents/Resources")));
  EXPECT_FALSE(fs::exists(Marker("OLVAN Assistant")));
  EXPECT_EQ(fs::file_size(Marker("Toskarine.app")), 6u);
  EXPECT_TRUE(fs::is_regular_file(Root() / (std::string(kBase) + "Fake.app")));
  EXPECT_TRUE(WizardAccess::MarkerExists(w));

  WizardAccess::RemoveMarker(w);
  EXPECT_FALSE(fs::exists(Marker("A.app")));
  EXPECT_FALSE(fs::exists(Marker("B.app")));
  EXPECT_TRUE(fs::exists(Marker("Toskarine.app")));
  EXPECT_TRUE(fs::is_directory(Root() / (std::string(kBase) + "A.app/Contents/Resources")));
  EXPECT_FALSE(WizardAccess::MarkerExists(w));

  // Deleting again finds nothing and says nothing.
  WizardAccess::RemoveMarker(w);
  EXPECT_EQ(user_.MessageBoxes().size(), 1u);
}

}  // namespace
