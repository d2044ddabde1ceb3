// The run of the transfer worker: what the wizard window shows before, during
// and after each of the three kinds of run, and how failed items are told.
#include "transfer/Thread1.h"

#include <algorithm>
#include <cstddef>
#include <memory>

#include "discovery/Window2.h"
#include "framework/core/text/StringFunctions.h"
#include "framework/core/threads/StopRequest.h"
#include "helpers/CautionDialogs.h"
#include "helpers/Globals.h"
#include "transfer/StagedCopy.h"
#include "wizard/Window1.h"

namespace {

using framework::EndOfLine;
using framework::String;

// A dialog is no place for a list without end: the first ones, then how
// many more.
constexpr std::size_t kListedFailures = 10;

String Lines(const String& first, const String& second) { return first + EndOfLine + second; }

// What recovery found, in the person's words.
String RecoveredText(StagedCopy::Recovered::What what) {
  switch (what) {
    case StagedCopy::Recovered::What::PutBackBeside:
      return "中断された置き換えの古いアイテムを、同じ名前のアイテムがあるため、この名前で戻しました。";
    case StagedCopy::Recovered::What::NotPutBack:
      return "中断された置き換えの古いアイテムを元の場所に戻せませんでした。この隠しフォルダに残っています。";
    case StagedCopy::Recovered::What::ReplacedNotRemoved:
      return "置き換えた古いアイテムを削除できませんでした。";
    case StagedCopy::Recovered::What::CopyNotRemoved:
      return "中断されたコピーの残りを削除できませんでした。";
    case StagedCopy::Recovered::What::NotLooked:
      break;
  }
  return "中身を確かめられなかったため、この隠しフォルダをそのまま残しました。";
}

}  // namespace

void Thread1::Event_Run() {
  // Closed before this worker first ran: the quit that closed it counts as
  // a stop before the first item.
  if (!pWin1 || pWin1->Closed()) return;
  failures_.clear();
  notices_.clear();
  // What a copy run moves is what was checked as it starts, read now, while
  // the wizard that has just expanded the list's rows is open. From then
  // until the run ends, whichever way, the boxes hold that choice, so what
  // shows checked is what moves; folding a product stays the person's, and a
  // quit that closes the list leaves this run's choice as it was. The paste
  // reads no list, and a launch on STEP 4 has none to show.
  struct GiveBackChecks {
    std::shared_ptr<Window2> list;
    ~GiveBackChecks() {
      if (list) list->ReleaseChecks();
    }
  } const held{pMode == ModeCopy || pMode == ModeNetCopy ? TakeChosenItems() : nullptr};
  // "中止" and a quit cut the item in hand short at the copy's next piece,
  // not only after it: an item of gigabytes would otherwise keep the
  // person waiting with no sign, and a quit would go on copying unseen.
  const framework::StopCheck stop([this] { return pWin1->pStopThread1 || Abandoned(); });
  switch (pMode) {
    case ModeCopy:
      RunCopy();
      break;
    case ModePaste:
      RunPaste();
      break;
    case ModeNetCopy:
      RunNetCopy();
      break;
    default:
      break;
  }
}

// The state every run leaves the window in, stopped or not: the bar gone,
// the run's button back to its caption, Next enabled as "終了", the status
// line empty; the guidance text is the caller's.
void Thread1::EndOfRun(framework::ProgressBar& bar, framework::PushButton& button, const String& caption,
                       framework::Label& status) {
  Window1& w = *pWin1;
  bar.Visible(false);
  button.Caption(caption);
  w.StaticText10().Enabled(true);
  w.PushButton2().Enabled(true);
  w.PushButton2().Caption("終了");
  status.Text("");
}

void Thread1::RunCopy() {
  Window1& w = *pWin1;
  w.PushButton5().Caption("中止");
  w.PushButton7().Enabled(false);
  w.StaticText10().Text("コピー中です。コピー終了まで数分かかる場合があります。");
  w.ProgressBar1().Visible(true);
  w.ProgressBar1().Maximum(CopyCount());
  DeleteFolderItem();
  // Without an empty "temp" (DeleteFolderItem has said why) nothing of this
  // run can arrive whole: the run ends on that one line, not on one more for
  // every item that could not be put there either.
  const bool stopped = failures_.empty() && CopyFolderItem();
  EndOfRun(w.ProgressBar1(), w.PushButton5(), "コピー", w.StaticText21());
  if (stopped) {
    w.PushButton7().Enabled(true);
    w.StaticText10().Text(Lines("コピーが中止されました。このまま終了しても、ペーストのステップには進めません。",
                                "ペーストのステップに進むには、コピーを完了させてください。"));
  } else if (!failures_.empty()) {
    // As after a stop: the copy can be run again, Back leads to the list,
    // and closing asks first and leaves no copy-done marker, since the
    // transfer folder does not hold everything that was chosen.
    w.pStopThread1 = true;
    w.PushButton7().Enabled(true);
    w.StaticText10().Text(
        Lines("コピーはエラーで終了しました。ペーストには進めません。", "原因を取り除いてから、再度コピーしてください。"));
  } else {
    w.StaticText10().Text(Lines("コピーが完了しました。終了ボタンを押して、本ソフトウェアを終了して下さい。",
                                "その後、外部デバイスを新マシンに繋ぎ直して、再度起動してください。"));
    w.PushButton5().Enabled(false);
    w.PushButton7().Visible(false);
  }
  ReportFailures("コピーできなかったアイテムがあります。");
}

void Thread1::RunPaste() {
  Window1& w = *pWin1;
  const FolderItemPtr transferFolder = framework::GetFolderItem("temp");
  if (!transferFolder || !transferFolder->Exists()) {
    Globals::gCautionDlg1(pWin1.get(), Globals::gBeep, "ペースト用のフォルダがないので処理できません。", "");
    return;
  }
  w.PushButton6().Caption("中止");
  w.PushButton7().Enabled(false);
  w.StaticText10().Text("ペースト中です。ペースト終了まで数分かかる場合があります。");
  w.RadioButton5().Enabled(false);
  w.RadioButton6().Enabled(false);
  w.ProgressBar2().Visible(true);
  RecoverDestinations();
  w.ProgressBar2().Maximum(PasteCount());
  const bool stopped = PasteFolderItem();
  EndOfRun(w.ProgressBar2(), w.PushButton6(), "ペースト", w.StaticText25());
  if (stopped) {
    w.StaticText10().Text(Lines("ペーストが中止されました。ペーストは不完全なまま終了しました。",
                                "ペーストを最後まで完了させるには再度ペーストボタンを押してください。"));
  } else if (!failures_.empty()) {
    // As after a stop: the paste stays pending, so the copy-done marker
    // stays and the next start from the device offers the paste again.
    w.pStopThread1 = true;
    w.StaticText10().Text(
        Lines("ペーストはエラーで終了しました。ペーストは不完全です。", "原因を取り除いてから、再度ペーストしてください。"));
  } else {
    w.StaticText10().Text("ペーストが完了しました。終了ボタンを押して、本ソフトウェアを終了して下さい。");
    w.PushButton6().Enabled(false);
    w.pPastePhase = Window1::PhasePasteDone;
  }
  ReportFailures("ペーストできなかったアイテムがあります。");
}

void Thread1::RunNetCopy() {
  Window1& w = *pWin1;
  w.PushButton5().Caption("中止");
  w.PushButton7().Enabled(false);
  w.StaticText10().Text("ネットコピー中です。コピー終了まで数分かかる場合があります。");
  w.RadioButton3().Enabled(false);
  w.RadioButton4().Enabled(false);
  w.ProgressBar1().Visible(true);
  RecoverDestinations();
  w.ProgressBar1().Maximum(CopyCount());
  const bool stopped = NetCopyPaste();
  EndOfRun(w.ProgressBar1(), w.PushButton5(), "コピー", w.StaticText21());
  if (stopped) {
    w.PushButton7().Enabled(true);
    w.StaticText10().Text(Lines("ネットコピーが中止されました。コピーは不完全なまま終了しました。",
                                "コピーを最後まで完了させるには再度コピーボタンを押してください。"));
  } else if (!failures_.empty()) {
    // As after a stop: the copy can be run again once the cause is gone.
    w.pStopThread1 = true;
    w.PushButton7().Enabled(true);
    w.StaticText10().Text(
        Lines("ネットコピーはエラーで終了しました。コピーは不完全です。", "原因を取り除いてから、再度コピーしてください。"));
  } else {
    w.StaticText10().Text("ネットコピーが完了しました。終了ボタンを押して、本ソフトウェアを終了して下さい。");
    w.PushButton5().Enabled(false);
    w.PushButton7().Visible(false);
  }
  ReportFailures("コピーできなかったアイテムがあります。");
}

// --- shared by the walks ---

bool Thread1::Abandoned() const { return pWin1->Closed(); }

bool Thread1::MakeFolder(const FolderItemPtr& folder) {
  if (!folder) return false;
  // A link to a folder elsewhere (a Documents on another disk) will do.
  if (folder->Exists()) return true;
  const FolderItemPtr parent = folder->Parent();
  if (!parent || !MakeFolder(parent)) return false;
  return folder->CreateAsFolder() || folder->Directory();
}

void Thread1::Transfer(const FolderItemPtr& item, const FolderItemPtr& destination, const String& verb) {
  // The device copy starts from an empty "temp": a name already taken there
  // is a second chosen item of that name, which must not go missing unseen.
  StagedCopy::Existing existing = StagedCopy::Existing::Refuse;
  if (pMode != ModeCopy) existing = pExist ? StagedCopy::Existing::Replace : StagedCopy::Existing::Keep;
  StagedCopy::Failure failure;
  switch (StagedCopy::CopyInto(item, destination, existing, &failure)) {
    case StagedCopy::Outcome::Copied:
    case StagedCopy::Outcome::Kept:
      return;
    case StagedCopy::Outcome::CopyFailed:
      // A copy cut short by a stop failed nothing: the run is stopping.
      if (failure.why == framework::FileError::Stopped) return;
      // The line names the innermost item that failed, where known.
      Fail(failure.item ? failure.item : item, ReasonWhy(failure.why) + verb + "できませんでした。");
      return;
    case StagedCopy::Outcome::NameTaken:
      Fail(item, "同じ名前のアイテムが既にあるため、" + verb + "できませんでした。");
      return;
    case StagedCopy::Outcome::ReplaceFailed:
      Fail(item, ReasonWhy(failure.why) + "既存のアイテムと置き換えられませんでした。既存のアイテムはそのまま残っています。");
      return;
    case StagedCopy::Outcome::OldSetAside:
      Fail(failure.item, ReasonWhy(failure.why) +
                             "既存のアイテムと置き換えられませんでした。既存のアイテムは元の場所に戻せず、この隠しフォルダに残っています。");
      return;
    case StagedCopy::Outcome::OldLeftOver:
      // The item arrived. Named by the hidden folder that holds what is
      // left, where the person finds it; the next run tries again.
      Notice(failure.item ? failure.item : item, "置き換えた古いアイテムを削除できませんでした。");
      return;
  }
}

void Thread1::RecoverDestinations() {
  using framework::SpecialFolder::Applications, framework::SpecialFolder::ApplicationData,
      framework::SpecialFolder::Documents, framework::SpecialFolder::Preferences;
  for (const FolderItemPtr& folder : {Applications(), Preferences(), ApplicationData(), Documents()}) {
    if (!folder || !folder->Exists()) continue;
    for (const StagedCopy::Recovered& told : StagedCopy::Recover(folder)) {
      Notice(told.item, RecoveredText(told.what));
    }
  }
}

// The cause in the person's words, leading the failure's sentence, where
// the file system told one they can act on.
String Thread1::ReasonWhy(framework::FileError why) {
  switch (why) {
    case framework::FileError::NoRoom:
      return "空き容量が足りないため、";
    case framework::FileError::NotPermitted:
      return "書き込みが許可されていないため、";
    case framework::FileError::ReadOnly:
      return "読み取り専用のため、";
    case framework::FileError::NotReadable:
      return "読み込みが許可されていないため、";
    case framework::FileError::NotFound:
      return "アイテムが見つからないため、";
    case framework::FileError::Changed:
      return "コピー中に変更されたため、";
    case framework::FileError::IntoItself:
      return "コピー先のフォルダ自身を含むため、";
    case framework::FileError::AdministratorOnly:
      return "特殊なファイルは管理者しか作成できないため、";
    case framework::FileError::ReadFailed:
      return "読み込み中にエラーが起きたため、";
    case framework::FileError::WriteFailed:
      return "書き込み中にエラーが起きたため、";
    case framework::FileError::DestinationGone:
      return "コピー先が見つからないため、";
    case framework::FileError::NameTaken:
    case framework::FileError::Stopped:
    case framework::FileError::None:
    case framework::FileError::Other:
      break;
  }
  return "";
}

String Thread1::Line(const FolderItemPtr& item, const String& text) {
  // A folder's path ends in ":"; the line's own separator follows the name.
  String path = item ? item->AbsolutePath() : String();
  if (framework::LenB(path) > 1 && framework::MidB(path, framework::LenB(path)) == ":") {
    path = framework::LeftB(path, framework::LenB(path) - 1);
  }
  return path + "：" + text;
}

void Thread1::Fail(const FolderItemPtr& item, const String& reason) { failures_.push_back(Line(item, reason)); }

void Thread1::Notice(const FolderItemPtr& item, const String& what) { notices_.push_back(Line(item, what)); }

namespace {

// The heading, then the first lines, then how many more: a dialog is no
// place for a list without end.
String Listed(const String& heading, const std::vector<String>& lines) {
  String text = heading;
  const std::size_t listed = std::min(lines.size(), kListedFailures);
  for (std::size_t i = 0; i < listed; ++i) text += String(EndOfLine) + lines[i];
  if (lines.size() > listed) {
    text += String(EndOfLine) + "ほか" + framework::Str(static_cast<std::int32_t>(lines.size() - listed)) + "個";
  }
  return text;
}

String Count(std::size_t n) { return framework::Str(static_cast<std::int32_t>(n)); }

}  // namespace

void Thread1::ReportFailures(const String& message) {
  // With the wizard closed the program is on its way out and waits for this
  // worker: there is nobody left to answer a dialog.
  if ((failures_.empty() && notices_.empty()) || Abandoned()) return;
  String explanation;
  if (!failures_.empty()) {
    explanation = Listed("次の" + Count(failures_.size()) + "個のアイテムは、正しく処理できませんでした。", failures_);
  }
  if (!notices_.empty()) {
    if (!explanation.IsEmpty()) explanation += String(EndOfLine) + EndOfLine;
    explanation += Listed("次の" + Count(notices_.size()) +
                              "個は、本ソフトウェアの作業の後に残ったもので、処理できなかったアイテムではありません。",
                          notices_);
  }
  Globals::gCautionDlg1(pWin1.get(), Globals::gBeep,
                        failures_.empty() ? String("本ソフトウェアの作業の後に残ったものがあります。") : message,
                        explanation);
}
