// A fresh program on a fake pair of machines for the transfer worker's tests:
// in one temporary folder the old machine's disk ("Old", also mounted as the
// network volume "OldMac"), the external device that holds the program
// ("Device", the base folder, so "temp" is "Device/temp") and the new
// machine's folders ("New/Applications", "New/Library/Preferences",
// "New/Library/Application Support", "New/Documents").
//
// The scan of STEP 2 is not what these tests are about: they fill the item
// table and the item list as discovery does, and then act as the person on
// STEP 3 or STEP 4.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "discovery/Window2.h"
#include "framework/core/files/FileSystemSetup.h"
#include "framework/testing/FileSystemSetupGuard.h"
#include "framework/testing/TempFolder.h"
#include "framework/ui/Listbox.h"
#include "program/ProgramFixture.h"

namespace transfertest {

namespace fs = std::filesystem;

// The names directly inside a folder, hidden ones included; empty for a
// folder that is not there.
std::set<std::string> Listing(const fs::path& folder);
std::string ReadText(const fs::path& file);

class TransferTest : public programtest::ProgramTest {
 protected:
  TransferTest();
  void TearDown() override;

  // --- the machines ---
  fs::path Old(const std::string& relative) const { return tree_ / "Old" / relative; }
  fs::path Device() const { return tree_ / "Device"; }
  fs::path TransferFolder() const { return Device() / "temp"; }
  fs::path Applications() const { return tree_ / "New/Applications"; }
  fs::path Preferences() const { return tree_ / "New/Library/Preferences"; }
  fs::path ApplicationSupport() const { return tree_ / "New/Library/Application Support"; }
  fs::path Documents() const { return tree_ / "New/Documents"; }

  // --- the item table and the item list, as discovery leaves them ---
  std::int32_t Entry(const fs::path& item, const std::string& kind);
  // A collapsed, checked product row whose index list names the entries.
  std::int32_t AddProductRow(const std::string& name, const std::vector<std::int32_t>& entries);
  // A checked top-level item row for the entry (a document chosen by hand).
  std::int32_t AddItemRow(std::int32_t entry, const std::string& kind);
  framework::Listbox& List() const { return Window2::Instance().Listbox1(); }

  // --- the person on STEP 3 and STEP 4 ---
  // Chooses the device route and stands on STEP 3.
  void OnStepThreeByDevice();
  // Chooses the network route with the old disk "OldMac" and its user, and
  // stands on STEP 3 with the replace (true) or keep choice made.
  void OnStepThreeByNetwork(bool replace);
  // Stands on STEP 4 as a launch that found the copy-done marker does, with
  // the replace (true) or keep choice made.
  void OnStepFour(bool replace);
  // Presses "コピー" / "ペースト" and yields until the run has ended.
  void Copy();
  void Paste();
  // Yields, as the main thread does between the person's actions, until
  // done() holds; false when every worker ended first and it still does not.
  static bool YieldUntil(const std::function<bool()>& done);

  // The status line of STEP 3 / STEP 4 now.
  std::string Status3() const { return Wizard().StaticText21().Text().ToUTF8(); }
  std::string Status4() const { return Wizard().StaticText25().Text().ToUTF8(); }

  // Runs body in a child process with a mount namespace of its own, where a
  // small tmpfs (mount options such as "size=256k") stands over each folder
  // given. ran is false, and text says why, when such mounts cannot be had
  // (not root, no namespaces): the test then skips. Otherwise text is what
  // body returned.
  struct SmallDiskRun {
    bool ran = false;
    std::string text;
  };
  SmallDiskRun RunOnSmallDisks(const std::vector<std::pair<fs::path, std::string>>& disks,
                               const std::function<std::string()>& body);
  // The same with the folder served by a user-space file system (bindfs)
  // that, as network homes and many such disks do, cannot exchange two
  // names: the staged copy then takes its way of two renames. Skips (ran
  // false) where there is no such disk, or where it does exchange.
  SmallDiskRun RunOnDiskWithoutExchange(const fs::path& folder, const std::function<std::string()>& body);
  // Whether the body ran to its observations: a body that cannot do its
  // part there (a mount refused) returns why, a text without a tab.
  static bool Observed(const SmallDiskRun& run) { return run.ran && run.text.find('\t') != std::string::npos; }

  framework::TempFolder tree_;

 private:
  // Runs body in a child process with a mount namespace of its own, after
  // mount() ("" when done, else why it could not) made its disks there.
  SmallDiskRun RunWithOwnMounts(const std::function<std::string()>& mount, const std::function<std::string()>& body);

  std::optional<framework::FileSystemSetupGuard> view_;
};

// Observations a child process reports, one "key<TAB>value" line each
// (values with line breaks written as ⏎).
class Observations {
 public:
  void Add(const std::string& key, const std::string& value);
  std::string Text() const { return text_; }
  static std::map<std::string, std::string> Parse(const std::string& text);

 private:
  std::string text_;
};

}  // namespace transfertest
