// What goes wrong during a transfer and must neither lose anything nor pass
// as success: full and read-only disks, a device pulled during the paste,
// two chosen items of one name, a run after a stopped one, and a list that
// the person changes while a run goes.
#include <gtest/gtest.h>
#include <sys/mount.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "framework/core/threads/Baton.h"
#include "framework/core/threads/StopRequest.h"
#include "framework/core/threads/Thread.h"
#include "framework/ui/UserInput.h"
#include "program/TransferFixture.h"
#include "transfer/StagedCopy.h"

namespace {

namespace fs = std::filesystem;
using framework::DialogButton;
using framework::UserInput;
using programtest::Expand;
using transfertest::Listing;
using transfertest::Observations;
using transfertest::ReadText;
using transfertest::TransferTest;
using Names = std::set<std::string>;

// As the observations write them, a line break shown as ⏎.
const char* const kCopyFailed =
    "コピーはエラーで終了しました。ペーストには進めません。⏎原因を取り除いてから、再度コピーしてください。";
const char* const kPasteFailed =
    "ペーストはエラーで終了しました。ペーストは不完全です。⏎原因を取り除いてから、再度ペーストしてください。";

std::string Joined(const std::set<std::string>& names) {
  std::string text;
  for (const std::string& name : names) text += (text.empty() ? "" : "|") + name;
  return text;
}

class TransferFault : public TransferTest {
 protected:
  // The one caution dialog of the run, and the window as after a stop.
  Observations Observe() {
    Observations seen;
    const auto dialogs = user_.Dialogs();
    seen.Add("dialogs", std::to_string(dialogs.size()));
    if (!dialogs.empty()) {
      seen.Add("message", dialogs[0].message.ToUTF8());
      seen.Add("explanation", dialogs[0].explanation.ToUTF8());
      seen.Add("parent is the wizard", dialogs[0].parent == &Wizard() ? "yes" : "no");
    }
    seen.Add("beeps", std::to_string(user_.Beeps()));
    seen.Add("guidance", Wizard().StaticText10().Text().ToUTF8());
    seen.Add("stop flag", Wizard().pStopThread1 ? "set" : "clear");
    seen.Add("phase", std::to_string(Wizard().pPastePhase));
    seen.Add("copy button", Wizard().PushButton5().Caption().ToUTF8() +
                                (Wizard().PushButton5().Enabled() ? " enabled" : " disabled"));
    seen.Add("paste button", Wizard().PushButton6().Caption().ToUTF8() +
                                 (Wizard().PushButton6().Enabled() ? " enabled" : " disabled"));
    seen.Add("next", Wizard().PushButton2().Caption().ToUTF8() + (Wizard().PushButton2().Enabled() ? " enabled" : ""));
    return seen;
  }
};

TEST_F(TransferFault, TwoChosenItemsOfOneNameInOneCategoryAreReportedNotMerged) {
  tree_.WriteFile("Old/Users/taro/Documents/Letters/a.txt", "first");
  tree_.WriteFile("Old/Users/hanako/Documents/Letters/b.txt", "second");
  AddItemRow(Entry(Old("Users/taro/Documents/Letters"), "DD"), "DD");
  AddItemRow(Entry(Old("Users/hanako/Documents/Letters"), "DD"), "DD");
  // A name in another case is another item, and arrives beside.
  tree_.WriteFile("Old/Users/jiro/Documents/letters/c.txt", "third");
  AddItemRow(Entry(Old("Users/jiro/Documents/letters"), "DD"), "DD");
  OnStepThreeByDevice();
  user_.WillPress(DialogButton::Action);
  Copy();

  EXPECT_EQ(Listing(TransferFolder() / "Doc"), (Names{"Letters", "letters"}));
  EXPECT_EQ(Listing(TransferFolder() / "Doc/Letters"), (Names{"a.txt"})) << "the first stays whole";
  auto seen = Observations::Parse(Observe().Text());
  EXPECT_EQ(seen["dialogs"], "1");
  EXPECT_EQ(seen["message"], "コピーできなかったアイテムがあります。");
  EXPECT_EQ(seen["explanation"],
            "次の1個のアイテムは、正しく処理できませんでした。⏎"
            "OldMac:Users:hanako:Documents:Letters：同じ名前のアイテムが既にあるため、コピーできませんでした。");
  EXPECT_EQ(seen["parent is the wizard"], "yes");
  EXPECT_EQ(seen["beeps"], "1");
  EXPECT_EQ(seen["guidance"], kCopyFailed) << "not the completion text";
  // Closing now asks first and writes no copy-done marker; the copy can be
  // run again.
  EXPECT_EQ(seen["stop flag"], "set");
  EXPECT_EQ(seen["copy button"], "コピー enabled");
  EXPECT_EQ(seen["next"], "終了 enabled");
  EXPECT_TRUE(Wizard().PushButton7().Enabled());
  EXPECT_TRUE(UserInput::ToggleCheck(List(), 1, 0)) << "the boxes are the person's again";
}

TEST_F(TransferFault, ARunAfterAStoppedRunCountsEveryItem) {
  for (const char* name : {"a.txt", "b.txt", "c.txt"}) {
    tree_.WriteFile(std::string("Old/Users/taro/Documents/") + name, name);
    AddItemRow(Entry(Old("Users/taro/Documents") / name, "D"), "D");
  }
  OnStepThreeByDevice();
  ASSERT_TRUE(UserInput::Press(Wizard().PushButton5()));
  ASSERT_TRUE(YieldUntil([&] { return Status3() == "OldMac:Users:taro:Documents:b.txt をコピー中..."; }));
  ASSERT_TRUE(UserInput::Press(Wizard().PushButton5()));
  framework::Thread::WaitForAll();
  ASSERT_EQ(Wizard().ProgressBar1().Value(), 2);
  EXPECT_FALSE(List().ChecksLocked()) << "a stopped run gives the boxes back";

  // The stopped walk marked the first item handled; the next count must
  // not skip it, since the next walk starts again from the top.
  Copy();
  EXPECT_EQ(Wizard().ProgressBar1().Maximum(), 3);
  EXPECT_EQ(Wizard().ProgressBar1().Value(), 3);
  EXPECT_EQ(Listing(TransferFolder() / "Doc"), (Names{"a.txt", "b.txt", "c.txt"}));
  EXPECT_FALSE(Wizard().pStopThread1);
}

// While a copy runs its boxes hold what it moves: what was checked when it
// started. Ticks change nothing, folding stays the person's, the bar counts
// what moves, and the boxes show it after the run.
struct ChangedDuringRunCase {
  const char* name;
  bool network;
  bool preferencesClearedBefore;  // by the person, before pressing "コピー"
  enum class Act { Fold, Check, Clear };
  // While the status line names the item `during`, the person acts on a row.
  struct Action {
    const char* during;
    Act act;
    std::int32_t row;
  };
  std::vector<Action> actions;
};

// Named in test listings by the row's name, not by its bytes.
void PrintTo(const ChangedDuringRunCase& c, std::ostream* os) { *os << c.name; }

class ChangedDuringRun : public TransferFault, public ::testing::WithParamInterface<ChangedDuringRunCase> {};

TEST_P(ChangedDuringRun, WhatARunMovesIsWhatWasCheckedWhenItStarted) {
  const ChangedDuringRunCase& c = GetParam();
  using Act = ChangedDuringRunCase::Act;
  tree_.WriteFile("Old/Users/taro/Documents/memo.txt", "memo");
  tree_.WriteFile("Old/Applications/Toskarine/Readme.txt", "read me");
  tree_.WriteFile("Old/Users/taro/Library/Preferences/Toskarine.plist", "settings");
  // Rows once the copy has expanded the list: 0 the memo, 1 Toskarine,
  // 2 its application, 3 its preferences.
  AddItemRow(Entry(Old("Users/taro/Documents/memo.txt"), "D"), "D");
  AddProductRow("Toskarine", {Entry(Old("Applications/Toskarine"), "AD"),
                              Entry(Old("Users/taro/Library/Preferences/Toskarine.plist"), "P")});
  if (c.network) {
    OnStepThreeByNetwork(/*replace=*/true);
  } else {
    OnStepThreeByDevice();
  }
  if (c.preferencesClearedBefore) {
    ASSERT_TRUE(UserInput::ToggleExpanded(List(), 1));
    ASSERT_TRUE(UserInput::SetCheck(List(), 3, 0, false));
  }

  ASSERT_TRUE(UserInput::Press(Wizard().PushButton5()));
  for (const auto& action : c.actions) {
    const std::string status = std::string(action.during) + " をコピー中...";
    ASSERT_TRUE(YieldUntil([&] { return Status3() == status; })) << "last status: " << Status3();
    if (action.act == Act::Fold) {
      ASSERT_TRUE(UserInput::ToggleExpanded(List(), action.row));
    } else {
      EXPECT_FALSE(UserInput::SetCheck(List(), action.row, 0, action.act == Act::Check)) << "a tick during the run";
    }
  }
  framework::Thread::WaitForAll();

  const fs::path applications = c.network ? Applications() : TransferFolder() / "App";
  const fs::path preferences = c.network ? Preferences() : TransferFolder() / "Pref";
  const fs::path documents = c.network ? Documents() : TransferFolder() / "Doc";
  EXPECT_EQ(Listing(applications), (Names{"Toskarine"}));
  EXPECT_EQ(ReadText(applications / "Toskarine/Readme.txt"), "read me");
  EXPECT_EQ(Listing(preferences), c.preferencesClearedBefore ? Names{} : Names{"Toskarine.plist"});
  EXPECT_EQ(Listing(documents), (Names{"memo.txt"}));
  const Window1& w = Wizard();
  const std::int32_t moved = c.preferencesClearedBefore ? 2 : 3;
  EXPECT_EQ(w.ProgressBar1().Maximum(), moved);
  EXPECT_EQ(w.ProgressBar1().Value(), moved);
  EXPECT_EQ(w.StaticText10().Text().ToUTF8(),
            c.network ? "ネットコピーが完了しました。終了ボタンを押して、本ソフトウェアを終了して下さい。"
                      : Expand("コピーが完了しました。終了ボタンを押して、本ソフトウェアを終了して下さい。⏎"
                               "その後、外部デバイスを新マシンに繋ぎ直して、再度起動してください。"));
  EXPECT_TRUE(user_.Dialogs().empty());
  EXPECT_FALSE(w.pStopThread1);
  // Every item row still listed is checked exactly when its item arrived.
  const std::map<std::string, fs::path> destination{{"D", documents}, {"AD", applications}, {"P", preferences}};
  for (std::int32_t row = 0; row < List().ListCount(); ++row) {
    const std::string kind = List().Cell(row, 1).ToUTF8(), name = List().Cell(row, 0).ToUTF8();
    if (kind.empty()) continue;
    EXPECT_EQ(List().CellCheck(row, 0), Listing(destination.at(kind)).count(name) == 1) << name;
  }
  EXPECT_TRUE(UserInput::ToggleCheck(List(), 0, 0)) << "the boxes are the person's again";
}

// Rows as named in the test; the memo is copied first, then the application,
// then the preferences.
constexpr const char* kMemo = "OldMac:Users:taro:Documents:memo.txt";
using Act = ChangedDuringRunCase::Act;

INSTANTIATE_TEST_SUITE_P(
    Cases, ChangedDuringRun,
    ::testing::Values(
        // The product folded away to tidy the view: its item rows leave the list.
        ChangedDuringRunCase{"FoldedOnTheDevice", false, false, {{kMemo, Act::Fold, 1}}},
        ChangedDuringRunCase{"FoldedOverTheNetwork", true, false, {{kMemo, Act::Fold, 1}}},
        // Unfolded again, the product shows what the run moves.
        ChangedDuringRunCase{"FoldedAndUnfoldedOnTheDevice", false, true,
                             {{kMemo, Act::Fold, 1}, {kMemo, Act::Fold, 1}}},
        // A box cleared before the walk reaches it stays checked and moves ...
        ChangedDuringRunCase{"ClearedDuringTheRunOnTheDevice", false, false, {{kMemo, Act::Clear, 2}}},
        ChangedDuringRunCase{"ClearedDuringTheRunOverTheNetwork", true, false, {{kMemo, Act::Clear, 2}}},
        ChangedDuringRunCase{"ProductClearedDuringTheRunOnTheDevice", false, false, {{kMemo, Act::Clear, 1}}},
        // ... and one ticked stays clear and does not.
        ChangedDuringRunCase{"TickedDuringTheRunOnTheDevice", false, true, {{kMemo, Act::Check, 3}}},
        ChangedDuringRunCase{"TickedDuringTheRunOverTheNetwork", true, true, {{kMemo, Act::Check, 3}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(TransferFault, EveryMomentOfAReplaceShowsTheOldItemOrTheWholeNewOne) {
  tree_.WriteFile("New/Applications/Toskarine/old.txt", "old");
  Names whole;
  for (int i = 0; i < 20; ++i) {
    const std::string name = "part" + std::to_string(i + 10);
    tree_.WriteFile("Device/temp/App/Toskarine/" + name, name);
    whole.insert(name);
  }
  OnStepFour(/*replace=*/true);

  // Strict turns: the copy gives way after every file, and this thread
  // looks at the destination each time.
  const auto slice = framework::Baton::TimeSlice();
  framework::Baton::SetTimeSlice(std::chrono::microseconds(0));
  ASSERT_TRUE(UserInput::Press(Wizard().PushButton6()));
  int looks = 0;
  std::set<Names> seen;
  YieldUntil([&] {
    ++looks;
    seen.insert(Listing(Applications() / "Toskarine"));
    return false;
  });
  framework::Baton::SetTimeSlice(slice);

  EXPECT_GT(looks, 20) << "the copy was watched file by file";
  // Never a part of either: only the old item, the whole new one, or (for
  // the instant between setting the old one aside and moving the new one
  // in, both renames on one disk) neither.
  seen.erase(Names{});
  EXPECT_EQ(seen, (std::set<Names>{Names{"old.txt"}, whole}));
  EXPECT_EQ(Listing(Applications()), (Names{"Toskarine"}));
  EXPECT_EQ(Listing(Applications() / "Toskarine"), whole);
}

TEST_F(TransferFault, ADeviceThatRunsOutOfSpaceKeepsNoHalfCopyAndSaysSo) {
  tree_.WriteFile("Old/Users/taro/Documents/Big/big.bin", std::string(1 << 20, 'b'));
  tree_.WriteFile("Old/Users/taro/Documents/memo.txt", "memo");
  AddItemRow(Entry(Old("Users/taro/Documents/Big"), "DD"), "DD");
  AddItemRow(Entry(Old("Users/taro/Documents/memo.txt"), "D"), "D");

  const SmallDiskRun run = RunOnSmallDisks({{Device(), "size=256k"}}, [&] {
    OnStepThreeByDevice();
    user_.WillPress(DialogButton::Action);
    Copy();
    Observations seen = Observe();
    seen.Add("temp", Joined(Listing(TransferFolder())));
    seen.Add("Doc", Joined(Listing(TransferFolder() / "Doc")));
    seen.Add("bar", std::to_string(Wizard().ProgressBar1().Value()));
    return seen.Text();
  });
  if (!run.ran) GTEST_SKIP() << "no small disk to fill: " << run.text;

  auto seen = Observations::Parse(run.text);
  EXPECT_EQ(seen["temp"], "Doc");
  EXPECT_EQ(seen["Doc"], "memo.txt") << "no part of Big under any name, and the run went on after it";
  EXPECT_EQ(seen["bar"], "2");
  EXPECT_EQ(seen["dialogs"], "1");
  EXPECT_EQ(seen["message"], "コピーできなかったアイテムがあります。");
  EXPECT_EQ(seen["explanation"],
            "次の1個のアイテムは、正しく処理できませんでした。⏎Macintosh HD:Device:temp:Doc:Big：空き容量が足りないため、コピーできませんでした。")
      << "the full disk is the device, and the line names the item that was to stand there";
  EXPECT_EQ(seen["guidance"], kCopyFailed);
  EXPECT_EQ(seen["stop flag"], "set");
  EXPECT_EQ(seen["copy button"], "コピー enabled");
}

TEST_F(TransferFault, AReplaceThatRunsOutOfSpaceKeepsTheOldItem) {
  const std::string old(64 << 10, 'o');
  tree_.WriteFile("Device/temp/App/Toskarine/big.bin", std::string(1 << 20, 'n'));
  tree_.WriteFile("Device/temp/App/Small/s.txt", "small");

  const SmallDiskRun run = RunOnSmallDisks({{Applications(), "size=256k"}}, [&] {
    tree_.WriteFile("New/Applications/Toskarine/old.bin", old);
    OnStepFour(/*replace=*/true);
    user_.WillPress(DialogButton::Action);
    Paste();
    Observations seen = Observe();
    seen.Add("Applications", Joined(Listing(Applications())));
    seen.Add("Toskarine", Joined(Listing(Applications() / "Toskarine")));
    seen.Add("old item whole", ReadText(Applications() / "Toskarine/old.bin") == old ? "yes" : "no");
    return seen.Text();
  });
  if (!run.ran) GTEST_SKIP() << "no small disk to fill: " << run.text;

  auto seen = Observations::Parse(run.text);
  EXPECT_EQ(seen["Applications"], "Small|Toskarine") << "nothing of the failed copy is left beside them";
  EXPECT_EQ(seen["Toskarine"], "old.bin");
  EXPECT_EQ(seen["old item whole"], "yes");
  EXPECT_EQ(seen["dialogs"], "1");
  EXPECT_EQ(seen["message"], "ペーストできなかったアイテムがあります。");
  EXPECT_EQ(seen["explanation"],
            "次の1個のアイテムは、正しく処理できませんでした。⏎Macintosh HD:New:Applications:Toskarine：空き容量が足りないため、ペーストできませんでした。");
  EXPECT_EQ(seen["guidance"], kPasteFailed);
  // The paste stays pending: the marker stays, and the next launch from the
  // device offers the paste again.
  EXPECT_EQ(seen["phase"], std::to_string(Window1::PhasePastePending));
  EXPECT_EQ(seen["stop flag"], "set");
  EXPECT_EQ(seen["paste button"], "ペースト enabled");
}

// The device pulled during a paste, or an item taken off it: what the count
// saw at the start and the paste did not bring is reported, and the paste
// stays pending.
struct VanishedSourceCase {
  const char* name;
  const char* removed;  // below "Device", while the first item is being pasted
  // Each reported item's path, and the end of its line ("" where the
  // copy's own reason stands).
  std::vector<std::pair<std::string, std::string>> reported;
  std::set<std::string> applications;
};

void PrintTo(const VanishedSourceCase& c, std::ostream* os) { *os << c.name; }

class VanishedSource : public TransferFault, public ::testing::WithParamInterface<VanishedSourceCase> {};

TEST_P(VanishedSource, WhatThePasteExpectedAndDidNotBringIsReported) {
  const VanishedSourceCase& c = GetParam();
  tree_.WriteFile("Device/temp/App/Alpha/a.txt", "a");
  tree_.WriteFile("Device/temp/App/Beta/b.txt", "b");
  tree_.WriteFile("Device/temp/Doc/Letters/c.txt", "c");
  OnStepFour(/*replace=*/true);
  user_.WillPress(DialogButton::Action);

  ASSERT_TRUE(UserInput::Press(Wizard().PushButton6()));
  ASSERT_TRUE(YieldUntil([&] { return Status4() == "Macintosh HD:New:Applications: にペースト中..."; }));
  fs::remove_all(Device() / c.removed);
  framework::Thread::WaitForAll();

  EXPECT_EQ(Listing(Applications()), c.applications) << "nothing of a failed copy is left beside them";
  const auto dialogs = user_.Dialogs();
  ASSERT_EQ(dialogs.size(), 1u);
  EXPECT_EQ(dialogs[0].message.ToUTF8(), "ペーストできなかったアイテムがあります。");
  std::vector<std::string> lines;
  std::istringstream explanation(dialogs[0].explanation.ToUTF8());
  for (std::string line; std::getline(explanation, line);) lines.push_back(line);
  ASSERT_EQ(lines.size(), c.reported.size() + 1) << dialogs[0].explanation.ToUTF8();
  for (std::size_t i = 0; i < c.reported.size(); ++i) {
    const auto& [path, reason] = c.reported[i];
    EXPECT_TRUE(lines[i + 1].starts_with(path) && lines[i + 1].ends_with(reason)) << lines[i + 1];
  }
  const Window1& w = Wizard();
  EXPECT_EQ(w.StaticText10().Text().ToUTF8(), Expand(kPasteFailed));
  EXPECT_EQ(w.pPastePhase, Window1::PhasePastePending) << "the copy-done marker stays";
  EXPECT_TRUE(w.pStopThread1);
  EXPECT_TRUE(w.PushButton6().Enabled());
  EXPECT_FALSE(w.RadioButton6().Enabled()) << "the next paste runs with the choice of this one";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, VanishedSource,
    ::testing::Values(
        // The item in hand fails for want of its source; the categories the
        // count saw are reported as a whole.
        VanishedSourceCase{"DevicePulled",
                           "temp",
                           {{"Macintosh HD:Device:temp:App:Alpha", ""},
                            {"Macintosh HD:Device:temp:App", "ペースト元のフォルダが見つかりません。"},
                            {"Macintosh HD:Device:temp:Doc", "ペースト元のフォルダが見つかりません。"}},
                           {}},
        VanishedSourceCase{"ItemTakenOff",
                           "temp/App/Beta",
                           {{"Macintosh HD:Device:temp:App:Beta", "ペースト元のアイテムが見つかりません。"}},
                           {"Alpha"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(TransferFault, ANetworkCopyIntoAReadOnlyFolderNamesThatFolderNotTheOldDisk) {
  tree_.WriteFile("Old/Applications/Dornel 3/d.txt", "d");
  AddItemRow(Entry(Old("Applications/Dornel 3"), "AD"), "AD");
  const SmallDiskRun run = RunOnSmallDisks({{Applications(), "size=64k"}}, [&] {
    if (mount(nullptr, Applications().c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) != 0) return std::string("no remount");
    OnStepThreeByNetwork(/*replace=*/true);
    user_.WillPress(DialogButton::Action);
    Copy();
    return Observe().Text();
  });
  if (!Observed(run)) GTEST_SKIP() << "no read-only disk: " << run.text;
  EXPECT_EQ(Observations::Parse(run.text)["explanation"],
            "次の1個のアイテムは、正しく処理できませんでした。⏎"
            "Macintosh HD:New:Applications:Dornel 3：読み取り専用のため、コピーできませんでした。");
}

TEST_F(TransferFault, ADeviceThatCannotBeWrittenEndsTheCopyOnOneLineThatSaysWhy) {
  tree_.WriteFile("Old/Users/taro/Documents/memo.txt", "memo");
  tree_.WriteFile("Old/Users/taro/Library/Preferences/Toskarine.plist", "p");
  AddItemRow(Entry(Old("Users/taro/Documents/memo.txt"), "D"), "D");
  AddItemRow(Entry(Old("Users/taro/Library/Preferences/Toskarine.plist"), "P"), "P");
  struct Row {
    const char* name;
    bool earlierRun;  // the device holds the transfer folder of an earlier run
    const char* device;
    const char* line;
  };
  const Row rows[] = {
      {"no transfer folder", false, "", "Macintosh HD:Device:temp：読み取り専用のため、転送用のフォルダを作成できませんでした。"},
      {"an earlier run's transfer folder", true, "temp",
       "Macintosh HD:Device:temp：読み取り専用のため、前回の転送用のフォルダを空にできませんでした。"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const SmallDiskRun run = RunOnSmallDisks({{Device(), "size=64k"}}, [&] {
      if (row.earlierRun) tree_.WriteFile("Device/temp/Doc/old.txt", "old");
      // Read-only from here on, as a locked stick is.
      if (mount(nullptr, Device().c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) != 0) {
        return std::string("remount\tfailed: ") + std::strerror(errno) + "\n";
      }
      OnStepThreeByDevice();
      user_.WillPress(DialogButton::Action);
      Copy();
      Observations seen = Observe();
      seen.Add("remount", "done");
      seen.Add("device", Joined(Listing(Device())));
      seen.Add("earlier run's item", ReadText(TransferFolder() / "Doc/old.txt"));
      seen.Add("bar", std::to_string(Wizard().ProgressBar1().Value()) + " of " +
                          std::to_string(Wizard().ProgressBar1().Maximum()));
      return seen.Text();
    });
    if (!run.ran) GTEST_SKIP() << "no read-only disk: " << run.text;

    auto seen = Observations::Parse(run.text);
    ASSERT_EQ(seen["remount"], "done");
    EXPECT_EQ(seen["device"], row.device);
    EXPECT_EQ(seen["earlier run's item"], row.earlierRun ? "old" : "");
    EXPECT_EQ(seen["dialogs"], "1");
    EXPECT_EQ(seen["explanation"], std::string("次の1個のアイテムは、正しく処理できませんでした。⏎") + row.line)
        << "one line, and none for each item that could not go there either";
    EXPECT_EQ(seen["bar"], "0 of 2");
    EXPECT_EQ(seen["guidance"], kCopyFailed);
    EXPECT_EQ(seen["stop flag"], "set");
    EXPECT_EQ(seen["copy button"], "コピー enabled");
  }
}

TEST_F(TransferFault, AStopDuringAStagedReplaceLeavesTheDestinationAsItWas) {
  tree_.WriteFile("New/Applications/Toskarine/old.txt", "old");
  for (int i = 0; i < 20; ++i) tree_.WriteFile("Device/temp/App/Toskarine/part" + std::to_string(i), "new");
  // Stops once the copy has put something into its hidden folder.
  framework::StopCheck check([&] { return !Listing(Applications() / ".olvan-incoming-1/new/Toskarine").empty(); });
  StagedCopy::Failure failure;
  const auto outcome =
      StagedCopy::CopyInto(framework::FolderItem::FromPosix(TransferFolder() / "App/Toskarine"),
                           framework::FolderItem::FromPosix(Applications()), StagedCopy::Existing::Replace, &failure);
  EXPECT_EQ(outcome, StagedCopy::Outcome::CopyFailed);
  EXPECT_EQ(failure.why, framework::FileError::Stopped);
  EXPECT_EQ(Listing(Applications()), (Names{"Toskarine"}));
  EXPECT_EQ(Listing(Applications() / "Toskarine"), (Names{"old.txt"}));
}

// The staged copy one item at a time, as the walks call it.
StagedCopy::Outcome Stage(const fs::path& item, const fs::path& into, StagedCopy::Existing existing,
                          StagedCopy::Failure* failure = nullptr) {
  return StagedCopy::CopyInto(framework::FolderItem::FromPosix(item), framework::FolderItem::FromPosix(into),
                              existing, failure);
}

// The files below a folder, by relative path, working folders and the
// item "Other" left out.
std::string FilesOutsideWorkingFolders(const fs::path& folder) {
  std::set<std::string> files;
  std::error_code error;
  for (auto at = fs::recursive_directory_iterator(folder, error); at != fs::recursive_directory_iterator();
       at.increment(error)) {
    if (at->path() == folder / "Other" || StagedCopy::IsWorkingFolder(framework::FolderItem::FromPosix(at->path()))) {
      at.disable_recursion_pending();
    } else if (at->is_regular_file()) {
      files.insert(fs::relative(at->path(), folder).string());
    }
  }
  return Joined(files);
}

// The one folder below `folder` that `holds` a file of that name, or is named so.
fs::path FolderBelow(const fs::path& folder, const std::string& name, bool holds) {
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    if (entry.is_directory() && (holds ? fs::exists(entry.path() / name) : entry.path().filename() == name))
      return entry.path();
  }
  return {};
}

std::string Told(const std::vector<StagedCopy::Recovered>& told) {
  using What = StagedCopy::Recovered::What;
  std::set<std::string> lines;
  for (const StagedCopy::Recovered& line : told) {
    const char* what = line.what == What::PutBackBeside        ? "beside "
                       : line.what == What::NotPutBack         ? "not put back "
                       : line.what == What::ReplacedNotRemoved ? "old not removed "
                       : line.what == What::CopyNotRemoved     ? "copy not removed "
                                                               : "not looked ";
    lines.insert(what + line.item->PosixPath().filename().string());
  }
  return Joined(lines);
}

const char* OutcomeName(StagedCopy::Outcome outcome) {
  switch (outcome) {
    case StagedCopy::Outcome::Copied:
      return "copied";
    case StagedCopy::Outcome::OldLeftOver:
      return "old left over";
    case StagedCopy::Outcome::CopyFailed:
      return "copy failed";
    case StagedCopy::Outcome::OldSetAside:
      return "old set aside";
    default:
      return "other";
  }
}

// A replace left unfinished (the machine stopped, another run still at it,
// an old version that cannot go), the next run into that folder, and one
// more once the cause is gone: nothing of the person's is lost, the name
// never shows less than an item, and recovery acts only on what it has seen.
class StoppedReplace : public TransferFault {
 protected:
  enum class Disk { Local, WithoutExchange };
  enum class First {
    KilledAfterCopy,
    KilledAfterExchange,
    KilledAfterSetAside,
    LaidBetweenRenames,      // killed after the copy, the old item then moved into old/ as the first rename does
    NameTakenAfterSetAside,  // another program takes the name between the two renames
    LookAlikeLaid,
    StillRunning,
    Completes
  };
  enum class Meanwhile {
    Nothing,
    NameTaken,
    NameTakenInOtherCase,
    SetAsidePinned,    // a disk mounted on the set-aside item
    OldVersionPinned,  // a disk mounted inside the old version, before the first run
    CopyPinned,        // a disk mounted on the unfinished copy
    NewListingFails,   // once, as a failing disk would
    OldListingFails,
    OldIsALink,  // old/ moved to "Elsewhere" beside the items, and a link to it in its place
    NewIsALink,
  };
  struct Row {
    const char* name;
    Disk disk;
    First first;
    Meanwhile meanwhile;
    const char* firstOutcome;
    std::string afterFirst;  // the files of the folder (working folders left out) after the first run
    std::string told;        // what the next run's recovery tells
    std::string afterNext;   // the files after the next run, which copies another item
    std::string thenTold;    // what recovery tells once the cause is gone
    std::string then;        // the files then
    std::string names;       // the folder's names in the end
  };

  void RunRows(const std::vector<Row>& rows) {
    tree_.WriteFile("Device/temp/App/Toskarine/new.txt", "new");
    tree_.WriteFile("Device/temp/App/Other/o.txt", "other");
    std::vector<std::string> skipped;
    for (const Row& row : rows) {
      SCOPED_TRACE(row.name);
      run_ = "New/Run" + std::to_string(++runs_);
      into_ = tree_.MakeFolder(run_);
      const auto run = [&] {
        Observations seen;
        if (const std::string why = FirstRun(row, seen); !why.empty()) return why;
        if (row.first != First::StillRunning) {
          seen.Add("after first", FilesOutsideWorkingFolders(into_));
          if (const std::string why = Meanwhile(row.meanwhile); !why.empty()) return why;
          NextRun(seen);
        }
        CauseGone();
        seen.Add("then told", Told(StagedCopy::Recover(framework::FolderItem::FromPosix(into_))));
        seen.Add("then", FilesOutsideWorkingFolders(into_));
        seen.Add("names", Joined(Listing(into_)));
        return seen.Text();
      };
      const bool mounts = row.meanwhile == Meanwhile::NameTaken || row.meanwhile == Meanwhile::SetAsidePinned ||
                          row.meanwhile == Meanwhile::OldVersionPinned || row.meanwhile == Meanwhile::CopyPinned;
      SmallDiskRun result{true, ""};
      if (row.disk == Disk::WithoutExchange) {
        result = RunOnDiskWithoutExchange(into_, run);
      } else if (mounts) {
        result = RunOnSmallDisks({}, run);
      } else {
        result.text = run();
      }
      if (!Observed(result)) {
        skipped.push_back(std::string(row.name) + ": " + result.text);
        continue;
      }
      Check(row, Observations::Parse(result.text));
    }
    if (!skipped.empty()) GTEST_SKIP() << "rows not run: " << Joined({skipped.begin(), skipped.end()});
  }

 private:
  fs::path WorkingFolder() const { return into_ / ".olvan-incoming-1"; }
  // Writes a file below the folder the row runs in.
  void Write(const std::string& below, const std::string& text) { tree_.WriteFile(run_ + "/" + below, text); }
  static bool Pin(const fs::path& folder) { return mount("tmpfs", folder.c_str(), "tmpfs", 0, "size=64k") == 0; }

  // The first run, stopped where the row says; "" or why the row cannot run.
  std::string FirstRun(const Row& row, Observations& seen) {
    using StagedCopy::Step;
    if (row.first == First::LookAlikeLaid) {
      Write(".olvan-incoming-1/.olvan-previous/old.txt", "old");
      Write(".olvan-incoming-1/Toskarine/new.txt", "new");
      Write(".olvan-incoming-1/.olvan-mark", "my mark");
      return "";
    }
    Write("Toskarine/old.txt", "old");
    if (row.meanwhile == Meanwhile::OldVersionPinned && !Pin(tree_.MakeFolder(run_ + "/Toskarine/pinned")))
      return "no mount inside the old version";
    bool once = false;
    StagedCopy::SetStepHookForTesting([&](Step step) {
      if (row.first == First::NameTakenAfterSetAside && step == Step::SetAside)
        Write("Toskarine/mine.txt", "mine");
      if (row.first == First::StillRunning && step == Step::Copied && !once) {
        once = true;
        seen.Add("after first", FilesOutsideWorkingFolders(into_));
        NextRun(seen);
      }
      return !((row.first == First::KilledAfterCopy && step == Step::Copied) ||
               (row.first == First::LaidBetweenRenames && step == Step::Copied) ||
               (row.first == First::KilledAfterExchange && step == Step::SwappedIn) ||
               (row.first == First::KilledAfterSetAside && step == Step::SetAside));
    });
    StagedCopy::Failure failure;
    seen.Add("first", OutcomeName(Stage(TransferFolder() / "App/Toskarine", into_, StagedCopy::Existing::Replace, &failure)));
    StagedCopy::SetStepHookForTesting(nullptr);
    // An old item left behind is told by the folder where it lies.
    seen.Add("first names", !failure.item                                 ? ""
                            : StagedCopy::IsWorkingFolder(failure.item) ? "working folder"
                                                                        : failure.item->PosixPath().string());
    if (row.first == First::LaidBetweenRenames) {
      fs::create_directory(WorkingFolder() / "old");
      fs::rename(into_ / "Toskarine", WorkingFolder() / "old/Toskarine");
    }
    return "";
  }

  // What happens between the first run and the next; "" or why the row cannot run.
  std::string Meanwhile(Meanwhile what) {
    const auto failOnce = [](const std::string& which) {
      return [which, failures = 1](const std::string& part) mutable { return part != which || failures-- <= 0; };
    };
    const auto linkInstead = [&](const std::string& part) {
      fs::rename(WorkingFolder() / part, into_ / "Elsewhere");
      fs::create_directory_symlink(into_ / "Elsewhere", WorkingFolder() / part);
    };
    if (what == Meanwhile::NameTaken) Write("Toskarine/mine.txt", "mine");
    if (what == Meanwhile::NameTakenInOtherCase) Write("toskarine/mine.txt", "mine");
    if (what == Meanwhile::SetAsidePinned && !Pin(FolderBelow(into_, "old.txt", /*holds=*/true))) return "no mount";
    if (what == Meanwhile::CopyPinned && !Pin(FolderBelow(into_, "new.txt", /*holds=*/true))) return "no mount";
    if (what == Meanwhile::NewListingFails) StagedCopy::SetLookHookForTesting(failOnce("new"));
    if (what == Meanwhile::OldListingFails) StagedCopy::SetLookHookForTesting(failOnce("old"));
    if (what == Meanwhile::OldIsALink) linkInstead("old");
    if (what == Meanwhile::NewIsALink) linkInstead("new");
    return "";
  }

  // The next run into the folder, with another item.
  void NextRun(Observations& seen) {
    seen.Add("told", Told(StagedCopy::Recover(framework::FolderItem::FromPosix(into_))));
    seen.Add("next", OutcomeName(Stage(TransferFolder() / "App/Other", into_, StagedCopy::Existing::Replace)));
    seen.Add("after next", FilesOutsideWorkingFolders(into_));
  }

  void CauseGone() {
    StagedCopy::SetLookHookForTesting(nullptr);
    for (const auto& entry : fs::recursive_directory_iterator(into_)) {
      if (entry.is_directory() && !entry.is_symlink()) umount2(entry.path().c_str(), MNT_DETACH);
    }
  }

  void Check(const Row& row, std::map<std::string, std::string> seen) {
    EXPECT_EQ(seen["first"], row.firstOutcome);
    const bool leftBehind = seen["first"] == "old left over" || seen["first"] == "old set aside";
    EXPECT_EQ(seen["first names"], leftBehind ? "working folder" : "");
    EXPECT_EQ(seen["after first"], row.afterFirst) << "what the name shows meanwhile";
    EXPECT_EQ(seen["told"], row.told);
    EXPECT_EQ(seen["next"], "copied");
    EXPECT_EQ(seen["after next"], row.afterNext);
    EXPECT_EQ(seen["then told"], row.thenTold);
    EXPECT_EQ(seen["then"], row.then);
    EXPECT_EQ(seen["names"], row.names) << "no working folder is left, and nothing of the person's is gone";
  }

  std::string run_;
  fs::path into_;
  int runs_ = 0;
};

TEST_F(StoppedReplace, AMachineStoppedInAnExchangeLeavesTheNameWholeAndTheNextRunCleansUp) {
  RunRows({
      {"killed with the copy complete", Disk::Local, First::KilledAfterCopy, Meanwhile::Nothing, "copy failed",
       "Toskarine/old.txt", "", "Toskarine/old.txt", "", "Toskarine/old.txt", "Other|Toskarine"},
      {"killed right after the exchange", Disk::Local, First::KilledAfterExchange, Meanwhile::Nothing, "copy failed",
       "Toskarine/new.txt", "", "Toskarine/new.txt", "", "Toskarine/new.txt", "Other|Toskarine"},
      // The person's own folder, in the layout an earlier version of this
      // program used, even with a file of the mark's name: nothing of it is
      // moved or removed.
      {"a person's folder of a working folder's name", Disk::Local, First::LookAlikeLaid, Meanwhile::Nothing, "",
       ".olvan-incoming-1/.olvan-mark|.olvan-incoming-1/.olvan-previous/old.txt|.olvan-incoming-1/Toskarine/new.txt", "",
       ".olvan-incoming-1/.olvan-mark|.olvan-incoming-1/.olvan-previous/old.txt|.olvan-incoming-1/Toskarine/new.txt", "",
       ".olvan-incoming-1/.olvan-mark|.olvan-incoming-1/.olvan-previous/old.txt|.olvan-incoming-1/Toskarine/new.txt",
       ".olvan-incoming-1|Other"},
      // Another copy of the program at work in the folder: the next run
      // recovers while it is stopped at its copy, and it finishes all the same.
      {"a live run's working folder", Disk::Local, First::StillRunning, Meanwhile::Nothing, "copied",
       "Toskarine/old.txt", "", "Toskarine/old.txt", "", "Toskarine/new.txt", "Other|Toskarine"},
      {"an old version that cannot be removed", Disk::Local, First::Completes, Meanwhile::OldVersionPinned,
       "old left over", "Toskarine/new.txt", "old not removed .olvan-incoming-1", "Toskarine/new.txt", "",
       "Toskarine/new.txt", "Other|Toskarine"},
      {"an unfinished copy that cannot be removed", Disk::Local, First::KilledAfterCopy, Meanwhile::CopyPinned,
       "copy failed", "Toskarine/old.txt", "copy not removed .olvan-incoming-1", "Toskarine/old.txt", "",
       "Toskarine/old.txt", "Other|Toskarine"},
  });
}

TEST_F(StoppedReplace, AMachineStoppedBetweenTwoRenamesGetsTheOldItemBack) {
  RunRows({
      {"killed between two renames", Disk::WithoutExchange, First::KilledAfterSetAside, Meanwhile::Nothing,
       "copy failed", "", "", "Toskarine/old.txt", "", "Toskarine/old.txt", "Other|Toskarine"},
      {"the name taken since", Disk::WithoutExchange, First::KilledAfterSetAside, Meanwhile::NameTaken, "copy failed",
       "", "beside Toskarine 2", "Toskarine 2/old.txt|Toskarine/mine.txt", "", "Toskarine 2/old.txt|Toskarine/mine.txt",
       "Other|Toskarine|Toskarine 2"},
      // On a disk that tells letter case apart, another case is another name.
      {"a name in another case taken since", Disk::WithoutExchange, First::KilledAfterSetAside,
       Meanwhile::NameTakenInOtherCase, "copy failed", "", "", "Toskarine/old.txt|toskarine/mine.txt", "",
       "Toskarine/old.txt|toskarine/mine.txt", "Other|Toskarine|toskarine"},
      {"the name taken between two renames", Disk::WithoutExchange, First::NameTakenAfterSetAside, Meanwhile::Nothing,
       "old set aside", "Toskarine/mine.txt", "beside Toskarine 2", "Toskarine 2/old.txt|Toskarine/mine.txt", "",
       "Toskarine 2/old.txt|Toskarine/mine.txt", "Other|Toskarine|Toskarine 2"},
      {"the old item unable to move", Disk::WithoutExchange, First::KilledAfterSetAside, Meanwhile::SetAsidePinned,
       "copy failed", "", "not put back .olvan-incoming-1", "", "", "Toskarine/old.txt", "Other|Toskarine"},
  });
}

// A look that fails, or a part of the working folder that is no real
// folder: the working folder stays whole and is told; the set-aside item is
// neither removed nor moved through a link.
TEST_F(StoppedReplace, RecoveryActsOnlyOnWhatItHasSeen) {
  RunRows({
      {"the copy's listing fails once", Disk::Local, First::LaidBetweenRenames, Meanwhile::NewListingFails,
       "copy failed", "", "not looked .olvan-incoming-1", "", "", "Toskarine/old.txt", "Other|Toskarine"},
      {"the old item's listing fails once", Disk::Local, First::LaidBetweenRenames, Meanwhile::OldListingFails,
       "copy failed", "", "not looked .olvan-incoming-1", "", "", "Toskarine/old.txt", "Other|Toskarine"},
      {"a link as old/", Disk::Local, First::LaidBetweenRenames, Meanwhile::OldIsALink, "copy failed", "",
       "not looked .olvan-incoming-1", "Elsewhere/Toskarine/old.txt", "not looked .olvan-incoming-1",
       "Elsewhere/Toskarine/old.txt", ".olvan-incoming-1|Elsewhere|Other"},
      {"a link as new/", Disk::Local, First::LaidBetweenRenames, Meanwhile::NewIsALink, "copy failed", "",
       "not looked .olvan-incoming-1", "Elsewhere/Toskarine/new.txt", "not looked .olvan-incoming-1",
       "Elsewhere/Toskarine/new.txt", ".olvan-incoming-1|Elsewhere|Other"},
  });
}

TEST_F(TransferFault, APasteFirstPutsRightWhatStoppedReplacesLeftInEveryDestination) {
  tree_.WriteFile("Old/Applications/Toskarine/new.txt", "new");
  tree_.WriteFile("Old/Applications/Pelquon/new.txt", "new");
  tree_.WriteFile("Device/temp/Doc/Letters/a.txt", "a");
  const SmallDiskRun run = RunOnDiskWithoutExchange(Applications(), [&] {
    // Two replaces stopped dead between their renames; one name is taken
    // again before the paste.
    for (const char* name : {"Toskarine", "Pelquon"}) {
      tree_.WriteFile(std::string("New/Applications/") + name + "/old.txt", "old");
      StagedCopy::SetStepHookForTesting([](StagedCopy::Step step) { return step != StagedCopy::Step::SetAside; });
      Stage(Old("Applications") / name, Applications(), StagedCopy::Existing::Replace);
      StagedCopy::SetStepHookForTesting(nullptr);
    }
    tree_.WriteFile("New/Applications/Pelquon/mine.txt", "mine");
    // A paste that keeps what is there and writes only into Documents.
    OnStepFour(/*replace=*/false);
    user_.WillPress(DialogButton::Action);
    Paste();
    Observations seen = Observe();
    seen.Add("Applications", Joined(Listing(Applications())));
    seen.Add("Toskarine", Joined(Listing(Applications() / "Toskarine")));
    seen.Add("Pelquon 2", Joined(Listing(Applications() / "Pelquon 2")));
    seen.Add("Documents", Joined(Listing(Documents())));
    return seen.Text();
  });
  if (!run.ran) GTEST_SKIP() << run.text;

  auto seen = Observations::Parse(run.text);
  EXPECT_EQ(seen["Applications"], "Pelquon|Pelquon 2|Toskarine");
  EXPECT_EQ(seen["Toskarine"], "old.txt") << "back under its name";
  EXPECT_EQ(seen["Pelquon 2"], "old.txt") << "back beside the name taken since";
  EXPECT_EQ(seen["Documents"], "Letters");
  // Told, but no failure of this paste, whose every item arrived.
  EXPECT_EQ(seen["message"], "本ソフトウェアの作業の後に残ったものがあります。");
  EXPECT_EQ(seen["explanation"],
            "次の1個は、本ソフトウェアの作業の後に残ったもので、処理できなかったアイテムではありません。⏎"
            "Macintosh HD:New:Applications:Pelquon 2："
            "中断された置き換えの古いアイテムを、同じ名前のアイテムがあるため、この名前で戻しました。");
  EXPECT_EQ(seen["guidance"], "ペーストが完了しました。終了ボタンを押して、本ソフトウェアを終了して下さい。");
  EXPECT_EQ(seen["phase"], std::to_string(Window1::PhasePasteDone));
  EXPECT_EQ(seen["stop flag"], "clear") << "closing quits without a question";
}

TEST_F(TransferFault, AnOldVersionThatCannotBeDeletedIsToldButThePasteIsComplete) {
  tree_.WriteFile("Device/temp/App/Toskarine/new.txt", "new");
  const SmallDiskRun run = RunOnSmallDisks({}, [&] {
    tree_.WriteFile("New/Applications/Toskarine/old.txt", "old");
    const fs::path pinned = tree_.MakeFolder("New/Applications/Toskarine/pinned");
    if (mount("tmpfs", pinned.c_str(), "tmpfs", 0, "size=64k") != 0) return std::string("no mount inside the old version");
    OnStepFour(/*replace=*/true);
    user_.WillPress(DialogButton::Action);
    Paste();
    Observations seen = Observe();
    seen.Add("Toskarine", Joined(Listing(Applications() / "Toskarine")));
    return seen.Text();
  });
  if (!Observed(run)) GTEST_SKIP() << run.text;

  auto seen = Observations::Parse(run.text);
  EXPECT_EQ(seen["Toskarine"], "new.txt");
  EXPECT_EQ(seen["message"], "本ソフトウェアの作業の後に残ったものがあります。");
  EXPECT_EQ(seen["explanation"],
            "次の1個は、本ソフトウェアの作業の後に残ったもので、処理できなかったアイテムではありません。⏎"
            "Macintosh HD:New:Applications:.olvan-incoming-1：置き換えた古いアイテムを削除できませんでした。");
  EXPECT_EQ(seen["guidance"], "ペーストが完了しました。終了ボタンを押して、本ソフトウェアを終了して下さい。");
  EXPECT_EQ(seen["phase"], std::to_string(Window1::PhasePasteDone));
  EXPECT_EQ(seen["stop flag"], "clear");
  EXPECT_EQ(seen["paste button"], "ペースト disabled");
}

TEST_F(TransferFault, AnyEntryOfTheItemsNameIsAnExistingItemAndALinkChosenMovesWhatItShows) {
  tree_.WriteFile("Device/temp/App/Toskarine/new.txt", "new");
  tree_.WriteFile("Old/Real Letters/a.txt", "a");
  fs::create_symlink("a.txt", Old("Real Letters/inner-link"));
  fs::create_directories(Old("Chosen"));
  fs::create_directory_symlink(Old("Real Letters"), Old("Chosen/Letters"));
  fs::create_symlink(Old("nowhere"), Old("Chosen/Gone"));
  struct Row {
    const char* name;
    fs::path item;
    StagedCopy::Existing existing;
    const char* danglingAtDestination;  // a link of the item's name that leads nowhere, or null
    StagedCopy::Outcome outcome;
    Names after;  // what the destination's item of that name holds afterwards
  };
  const Row rows[] = {
      {"a dangling link replaced", TransferFolder() / "App/Toskarine", StagedCopy::Existing::Replace, "Toskarine",
       StagedCopy::Outcome::Copied, {"new.txt"}},
      {"a dangling link kept", TransferFolder() / "App/Toskarine", StagedCopy::Existing::Keep, "Toskarine",
       StagedCopy::Outcome::Kept, {}},
      {"a link chosen: its folder moves", Old("Chosen/Letters"), StagedCopy::Existing::Refuse, nullptr,
       StagedCopy::Outcome::Copied, {"a.txt", "inner-link"}},
      {"a chosen link that leads nowhere", Old("Chosen/Gone"), StagedCopy::Existing::Refuse, nullptr,
       StagedCopy::Outcome::CopyFailed, {}},
  };
  int n = 0;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const fs::path into = tree_.MakeFolder("New/Into" + std::to_string(++n));
    const std::string name = row.item.filename().string();
    if (row.danglingAtDestination) fs::create_symlink("nowhere", into / row.danglingAtDestination);
    StagedCopy::Failure failure;
    EXPECT_EQ(Stage(row.item, into, row.existing, &failure), row.outcome);
    EXPECT_EQ(Listing(into / name), row.after);
    if (row.outcome == StagedCopy::Outcome::CopyFailed) {
      EXPECT_EQ(failure.why, framework::FileError::NotFound);
      EXPECT_EQ(Listing(into), Names{});
    } else {
      EXPECT_EQ(Listing(into), Names{name});
      EXPECT_EQ(fs::is_symlink(into / name), row.outcome == StagedCopy::Outcome::Kept) << "the link itself moved";
    }
  }
  EXPECT_TRUE(fs::is_symlink(tree_ / "New/Into3/Letters/inner-link")) << "links inside stay links";
}

}  // namespace
