// The whole wizard, as the person goes through it from STEP 1 to the end, on
// the discovery tests' machines plus what the page flow needs beside them:
// the program's own bundle on the device (where the copy-done marker goes)
// and a new machine to start the program on again for the paste.
//
//   tree/startup   this machine's disk (the old machine on the device route,
//                  the new one on the network route), user "me"
//   tree/oldmac    the old machine's disk mounted as volume "OldMac"
//   tree/usb       the device: the program's bundle and "temp" beside it
//   tree/newmac    the new machine, once LaunchOnNewMachine has moved there
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "framework/core/threads/Thread.h"
#include "framework/testing/FileSystemSetupGuard.h"
#include "framework/testing/ScriptedUser.h"
#include "framework/ui/MessageDialogButton.h"
#include "program/DiscoveryFixture.h"

namespace pageflowtest {

namespace fs = std::filesystem;

// The wordings of the question before closing: after a stopped run (copy
// phase, paste phase), while a copy runs, and after a paste or a copy that
// ended with errors.
struct CloseQuestion {
  const char* message;
  const char* explanation;
};
inline constexpr CloseQuestion kCopyPhaseQuestion = {
    "処理を中止したままで終了すると、ペーストができません。それでも終了しますか？",
    "ペースト処理したい場合は、終了しないで戻り、コピー処理を継続してください。"};
inline constexpr CloseQuestion kPastePhaseQuestion = {
    "処理を中止したままで終了すると、ペーストが不完全で終わります。それでも終了しますか？",
    "ペースト処理を完了したい場合は、終了しないで戻り、ペースト処理を継続してください。"};
inline constexpr CloseQuestion kCopyRunningQuestion = {
    "コピー中です。今終了するとコピーは中止され、ペーストができません。それでも終了しますか？",
    "ペースト処理したい場合は、終了しないで、コピーが終わるまでお待ちください。"};
inline constexpr CloseQuestion kPasteFailedQuestion = {
    "ペーストはエラーで終了しました。このまま終了すると、ペーストが不完全で終わります。それでも終了しますか？",
    "ペースト処理を完了したい場合は、終了しないで戻り、原因を取り除いてから、再度ペーストしてください。"};
inline constexpr CloseQuestion kCopyFailedQuestion = {
    "コピーはエラーで終了しました。このまま終了すると、ペーストができません。それでも終了しますか？",
    "ペースト処理したい場合は、終了しないで戻り、原因を取り除いてから、再度コピーしてください。"};

// A tree as text, one line per item in name order: its kind, permission
// bits, modification time, then a file's bytes or a link's target, and its
// "user." extended attributes. Equal texts, equal trees ("" for nothing).
std::string TreeImage(const fs::path& top);

class PageFlowTest : public programtest::DiscoveryTest {
 protected:
  PageFlowTest();

  fs::path Marker() const;
  fs::path TransferFolder() const { return tree_ / "usb/temp"; }
  fs::path NewMachine(const std::string& relative) const { return tree_ / "newmac" / relative; }

  // The old machine of the device route, as the scan of startup/Applications
  // finds it: products "Toskarine II" (its application folder, with a
  // private folder, a link and extended attributes, and its Application
  // Support folder), "Pelquon" (application folder and preferences) and
  // "Toskarine II Quilbrant" (application folder); and a folder of
  // Toskarine documents, Documents/Letters, for adding by hand.
  void BuildOldMachine() const;

  // --- the person ---
  // STEP 2 with the scan done: adds Documents/Letters by hand.
  void AddLetters();
  // The list's row of that name and kind ("" for a product row); -1 if none.
  static std::int32_t RowOf(const std::string& name, const std::string& kind);
  // Next from STEP 2.
  void NextToStepThree();
  // Presses the run's button ("コピー" or "ペースト") and waits for the run.
  void RunToTheEnd(framework::PushButton& run);
  // Presses the run's button, then "中止" once the first item is over: the
  // run stops there, before or inside the second.
  void StopAfterTheFirstItem(framework::PushButton& run);
  // The question before closing: the answer to give, and what it asked.
  // whileShown runs while the question is up (ScriptedUser::WillPress).
  void WillAnswerCloseQuestion(framework::DialogButton answer, std::function<void()> whileShown = {}) {
    user_.WillPress(answer, std::move(whileShown));
  }
  void ExpectCloseQuestion(std::size_t dialogIndex, const CloseQuestion& wording) const;

  // Nothing of the program is left standing after its quit, and no window
  // was built again after it (as a worker reaching for the closed item list
  // would).
  void ExpectNothingLeftOpen() const;

  // The program ends (as the quit left it) and is started again from the
  // device, on the new machine.
  void LaunchOnNewMachine();

  // The wizard of the current launch, held: after a quit it is closed, and
  // only a held window may still be looked at (Wizard() would build anew).
  Window1& HeldWizard() const { return *wizard_; }

 private:
  std::shared_ptr<Window1> wizard_;
  std::optional<framework::FileSystemSetupGuard> newMachine_;
};

}  // namespace pageflowtest
