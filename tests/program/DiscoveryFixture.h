// A fake old machine for the discovery tests, and ways to read back what the
// discovery worker found: the item list's rows and the item table's entries,
// both as short texts with paths relative to the machine.
//
// The machine: volume "Macintosh HD" at <tmp>/startup with Applications and
// the user "me" (Library/Preferences, Library/Application Support), and a
// second volume "OldMac" at <tmp>/oldmac for the network route.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "discovery/Window2.h"
#include "framework/core/files/FileSystemSetup.h"
#include "framework/core/threads/Baton.h"
#include "framework/core/threads/Thread.h"
#include "framework/testing/FileSystemSetupGuard.h"
#include "framework/testing/TempFolder.h"
#include "framework/ui/UserInput.h"
#include "program/ProgramFixture.h"

namespace programtest {

// Product codes of the product table, by product.
inline const std::string kToskarine = "APPLqZw1";
inline const std::string kQuilbrant = "APPLqZw2";
inline const std::string kToskCard = "APPLqZw3";
inline const std::string kKavreline = "APPLqZw4";
inline const std::string kDornel = "APPLqZw5";
inline const std::string kPelquon = "APPLqZwm";

// Sets the baton's time slice for a scope (0: every yield hands over, so a
// test can stop a worker at its next yield).
class TimeSliceGuard {
 public:
  explicit TimeSliceGuard(std::chrono::microseconds slice) : saved_(framework::Baton::TimeSlice()) {
    framework::Baton::SetTimeSlice(slice);
  }
  ~TimeSliceGuard() { framework::Baton::SetTimeSlice(saved_); }
  TimeSliceGuard(const TimeSliceGuard&) = delete;
  TimeSliceGuard& operator=(const TimeSliceGuard&) = delete;

 private:
  std::chrono::microseconds saved_;
};

// Yields to the workers until done() holds or no worker runs any more; true
// when done() holds. The baton is never let go outright: a worker that is
// starting, or is inside a system call without the baton, is waited for
// until it asks for the baton again, so with a zero time slice the worker
// hands back at its very next yield and done() is seen there.
template <class Done>
bool YieldUntil(Done done) {
  while (!done()) {
    if (framework::Thread::RunningCount() == 0) return done();
    if (framework::Baton::Waiters() == 0) {
      std::this_thread::yield();
      continue;
    }
    framework::Yield();
  }
  return true;
}

class DiscoveryTest : public ProgramTest {
 protected:
  DiscoveryTest() : machine_(FakeMachine(tree_)) {}
  // A worker still running would outlive the program the next test starts.
  ~DiscoveryTest() override { framework::Thread::WaitForAll(); }

  static framework::FileSystemSetup FakeMachine(const framework::TempFolder& tree) {
    framework::FileSystemSetup setup;
    setup.volumes = {{"Macintosh HD", tree.MakeFolder("startup")}, {"OldMac", tree.MakeFolder("oldmac")}};
    setup.applications = tree.MakeFolder("startup/Applications");
    setup.preferences = tree.MakeFolder("startup/Users/me/Library/Preferences");
    setup.applicationData = tree.MakeFolder("startup/Users/me/Library/Application Support");
    setup.documents = tree.MakeFolder("startup/Users/me/Documents");
    setup.baseFolder = tree.MakeFolder("usb");
    return setup;
  }

  // --- building the machine ---
  // An application bundle inside Applications, e.g. App("Toskarine II/Toskarine.app", kToskarine).
  std::filesystem::path App(const std::string& relative, const std::string& code) const {
    return tree_.MakeBundle("startup/Applications/" + relative, code);
  }
  std::filesystem::path Pref(const std::string& name) const {
    return tree_.WriteFile("startup/Users/me/Library/Preferences/" + name + "/pref");
  }
  std::filesystem::path Support(const std::string& name) const {
    return tree_.MakeFolder("startup/Users/me/Library/Application Support/" + name);
  }
  // A file carrying a type and creator in its Finder information.
  std::filesystem::path Document(const std::string& relative, const std::string& type,
                                 const std::string& creator) const {
    const std::filesystem::path path = tree_.WriteFile(relative, "text");
    EXPECT_TRUE(framework::WriteFinderInfo(path, type, creator)) << path;
    return path;
  }
  framework::FolderItemPtr Item(const std::string& relative) const {
    return framework::FolderItem::FromPosix(tree_ / relative);
  }

  // --- acting as the person ---
  // STEP 1 on the device route, Next: the first scan of this machine runs.
  void ScanOnDeviceRoute() {
    ASSERT_TRUE(framework::UserInput::Choose(Wizard().RadioButton1()));
    ASSERT_TRUE(framework::UserInput::Press(Wizard().PushButton2()));
    framework::Thread::WaitForAll();
  }
  // "再取得" after a finished scan.
  void Rescan() {
    ASSERT_EQ(Wizard().PushButton8().Caption().ToUTF8(), "再取得");
    ASSERT_TRUE(framework::UserInput::Press(Wizard().PushButton8()));
    framework::Thread::WaitForAll();
  }
  // "フォルダを取得..." (or "ファイルを取得...") choosing the item.
  void AddByHand(const framework::FolderItemPtr& item, bool file = false) {
    user_.WillChoose(item);
    ASSERT_TRUE(framework::UserInput::Press(file ? Wizard().PushButton4() : Wizard().PushButton3()));
    framework::Thread::WaitForAll();
  }

  // --- reading back ---
  static framework::Listbox& List() { return Window2::Instance().Listbox1(); }

  // A path as the test wrote it: relative to the machine.
  std::string Relative(const framework::FolderItemPtr& item) const {
    return item->PosixPath().lexically_relative(tree_.Path()).generic_string();
  }

  // The item table: "<kind> <relative path>" per entry, in index order.
  std::vector<std::string> Entries() const {
    std::vector<std::string> out;
    for (const FIEntry& entry : Wizard().pFI) out.push_back(entry.kind.ToUTF8() + " " + Relative(entry.item));
    return out;
  }

  // The list's rows as the person sees them, with the hidden columns:
  //   "[x] Toskarine II {0:1:2:}"          a product row and its index list
  //   "  [x] Toskarine II (AD 0 アプリ)"   an item row: kind, index, label
  // Children are indented by their depth; "[ ]" is a cleared check box.
  static std::vector<std::string> Rows() {
    framework::Listbox& list = List();
    std::vector<std::string> out;
    for (std::int32_t row = 0; row < list.ListCount(); ++row) {
      std::string text(static_cast<std::size_t>(list.RowDepth(row)) * 2, ' ');
      text += list.CellType(row, 0) == framework::Listbox::TypeCheckBox ? (list.CellCheck(row, 0) ? "[x] " : "[ ] ")
                                                                         : "";
      text += list.Cell(row, 0).ToUTF8();
      if (list.Cell(row, 1).IsEmpty()) {
        text += " {" + list.Cell(row, 2).ToUTF8() + "}";
      } else {
        text += " (" + list.Cell(row, 1).ToUTF8() + " " + list.Cell(row, 2).ToUTF8();
        if (!list.Cell(row, 3).IsEmpty()) text += " " + list.Cell(row, 3).ToUTF8();
        text += ")";
      }
      out.push_back(text);
    }
    return out;
  }

  // The top-level rows, each with the items its hidden columns name:
  //   "Pelquon: AD startup/Applications/Both, P startup/Users/..."  a product
  //   "memo: D elsewhere/memo"                                       an item
  // Independent of the entries' numbers, so cases sharing one program
  // compare alike.
  std::vector<std::string> TopRows() const {
    framework::Listbox& list = List();
    std::vector<std::string> out;
    for (std::int32_t row = 0; row < list.ListCount(); ++row) {
      if (list.RowDepth(row) != 0) continue;
      std::string text = list.Cell(row, 0).ToUTF8() + ":";
      // A product row's index list ends each index with ":"; an item row
      // holds one bare index.
      std::string indexes = list.Cell(row, 2).ToUTF8();
      if (!list.Cell(row, 1).IsEmpty()) indexes += ":";
      std::string separator = " ";
      for (std::size_t at = 0, colon; (colon = indexes.find(':', at)) != std::string::npos; at = colon + 1) {
        const FIEntry& entry = Wizard().pFI.at(std::stoul(indexes.substr(at, colon - at)));
        text += separator + entry.kind.ToUTF8() + " " + Relative(entry.item);
        separator = ", ";
      }
      out.push_back(text);
    }
    return out;
  }

  // STEP 2 handed back to the person, as every scan ends.
  void ExpectScanDone() const {
    const Window1& w = Wizard();
    EXPECT_TRUE(w.StaticText10().Enabled());
    EXPECT_EQ(w.StaticText10().Text().ToUTF8(), "取得が完了したら、「次へ」ボタンを押して下さい。");
    EXPECT_TRUE(w.PushButton2().Enabled());
    EXPECT_TRUE(w.PushButton3().Enabled());
    EXPECT_TRUE(w.PushButton4().Enabled());
    EXPECT_EQ(w.PushButton8().Caption().ToUTF8(), "再取得");
    EXPECT_FALSE(Window2::Instance().StaticText1().Visible());
    EXPECT_FALSE(Window2::Instance().ProgressWheel1().Visible());
    framework::Listbox& list = List();
    for (std::int32_t row = 0; row < list.ListCount(); ++row) {
      if (list.RowIsFolder(row)) {
        EXPECT_TRUE(list.Expanded(row)) << "row " << row << " left collapsed";
      }
    }
  }

  framework::TempFolder tree_;
  framework::FileSystemSetupGuard machine_;
};

}  // namespace programtest
