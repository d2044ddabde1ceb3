#include "framework/testing/ScriptedUser.h"

#include <algorithm>
#include <utility>

#include "framework/core/threads/Baton.h"
#include "framework/ui/MessageDialog.h"
#include "framework/ui/Window.h"

namespace framework {
namespace {

const char* KindName(bool folder) { return folder ? "folder chooser" : "file chooser"; }

}  // namespace

std::string ScriptedUser::Describe(Answer::Kind kind) {
  switch (kind) {
    case Answer::Kind::Press:
      return "press a dialog button";
    case Answer::Kind::Dismiss:
      return "dismiss a dialog";
    case Answer::Kind::Choose:
      return "choose an item";
    case Answer::Kind::CancelChooser:
      return "cancel a chooser";
    case Answer::Kind::Drive:
      break;
  }
  return "drive a modal window";
}

ScriptedUser::ScriptedUser() : previous_(SetUserInterface(this)) {}

ScriptedUser::~ScriptedUser() {
  Window::DiscardAll();
  SetUserInterface(previous_);
}

// --- the script ---

void ScriptedUser::Queue(Answer answer) {
  std::lock_guard lock(mutex_);
  answers_.push_back(std::move(answer));
}

void ScriptedUser::WillPress(DialogButton button, std::function<void()> whileShown) {
  Answer answer(Answer::Kind::Press);
  answer.button = button;
  answer.whileShown = std::move(whileShown);
  Queue(std::move(answer));
}

void ScriptedUser::WillDismissDialog() { Queue(Answer(Answer::Kind::Dismiss)); }

void ScriptedUser::WillChoose(FolderItemPtr item) {
  Answer answer(Answer::Kind::Choose);
  answer.item = std::move(item);
  Queue(std::move(answer));
}

void ScriptedUser::WillCancelChooser() { Queue(Answer(Answer::Kind::CancelChooser)); }

void ScriptedUser::WillDrive(std::function<void(Window&)> step) {
  Answer answer(Answer::Kind::Drive);
  answer.step = std::move(step);
  Queue(std::move(answer));
}

ScriptedUser::Answer ScriptedUser::Next(std::initializer_list<Answer::Kind> kinds, const std::string& asked) {
  std::unique_lock lock(mutex_);
  if (answers_.empty()) {
    lock.unlock();
    Fail("no answer scripted for " + asked);
  }
  Answer answer = std::move(answers_.front());
  answers_.pop_front();
  if (std::find(kinds.begin(), kinds.end(), answer.kind) == kinds.end()) {
    lock.unlock();
    Fail("the script says " + Describe(answer.kind) + " but the program asks for " + asked);
  }
  return answer;
}

void ScriptedUser::Fail(const std::string& problem) {
  {
    std::lock_guard lock(mutex_);
    problems_.push_back(problem);
    transcript_.push_back("problem: " + problem);
  }
  throw Unscripted(problem);
}

void ScriptedUser::Log(std::string line) {
  std::lock_guard lock(mutex_);
  transcript_.push_back(std::move(line));
}

// --- records ---

int ScriptedUser::Beeps() const {
  std::lock_guard lock(mutex_);
  return beeps_;
}

std::vector<ScriptedUser::ShownDialog> ScriptedUser::Dialogs() const {
  std::lock_guard lock(mutex_);
  return dialogs_;
}

std::vector<String> ScriptedUser::MessageBoxes() const {
  std::lock_guard lock(mutex_);
  return messageBoxes_;
}

std::vector<ChooserRequest> ScriptedUser::Choosers() const {
  std::lock_guard lock(mutex_);
  return choosers_;
}

std::vector<ScriptedUser::ShownWindow> ScriptedUser::WindowsShown() const {
  std::lock_guard lock(mutex_);
  return windows_;
}

int ScriptedUser::Quits() const {
  std::lock_guard lock(mutex_);
  return quits_;
}

std::vector<std::string> ScriptedUser::Transcript() const {
  std::lock_guard lock(mutex_);
  return transcript_;
}

std::vector<std::string> ScriptedUser::Problems() const {
  std::lock_guard lock(mutex_);
  return problems_;
}

std::size_t ScriptedUser::PendingAnswers() const {
  std::lock_guard lock(mutex_);
  return answers_.size();
}

std::string ScriptedUser::Report() const {
  std::lock_guard lock(mutex_);
  std::string report;
  for (const std::string& problem : problems_) report += problem + "\n";
  for (const Answer& answer : answers_)
    report += "unused answer: " + Describe(answer.kind) + "\n";
  return report;
}

// --- UserInterface: under the baton ---

void ScriptedUser::ShowWindow(Window& window) {
  std::lock_guard lock(mutex_);
  windows_.push_back(ShownWindow{&window, window.Title(), window.Modal()});
  transcript_.push_back((window.Modal() ? "modal " : "show ") + window.Title().ToUTF8());
}

void ScriptedUser::HideWindow(Window& window) { Log("hide " + window.Title().ToUTF8()); }

void ScriptedUser::CloseWindow(Window& window) { Log("close " + window.Title().ToUTF8()); }

void ScriptedUser::Beep() {
  std::lock_guard lock(mutex_);
  ++beeps_;
  transcript_.push_back("beep");
}

void ScriptedUser::Quit() {
  std::lock_guard lock(mutex_);
  ++quits_;
  transcript_.push_back("quit");
}

// --- UserInterface: without the baton, waiting for the person ---

void ScriptedUser::RunModal(Window& window) {
  std::string title;
  {
    BatonHolder programCode;
    title = window.Title().ToUTF8();
  }
  Answer answer = Next({Answer::Kind::Drive}, "the modal window " + title);
  BatonHolder asThePerson;
  if (answer.step) answer.step(window);
  if (window.Visible() && !window.Closed()) {
    std::lock_guard lock(mutex_);
    // ShowModal returns anyway: a test that hangs tells nobody anything.
    problems_.push_back("the modal window " + title + " is still shown after its script step");
  }
}

DialogButton ScriptedUser::ShowMessageDialog(const MessageDialog& dialog, Window* parent) {
  ShownDialog shown;
  shown.icon = dialog.Icon();
  shown.title = dialog.Title();
  shown.message = dialog.Message();
  shown.explanation = dialog.Explanation();
  shown.parent = parent;
  const std::pair<DialogButton, const MessageDialogButton*> buttons[] = {
      {DialogButton::Action, &dialog.ActionButton()},
      {DialogButton::Cancel, &dialog.CancelButton()},
      {DialogButton::Alternate, &dialog.AlternateActionButton()},
  };
  for (const auto& [role, button] : buttons)
    if (button->Visible()) shown.buttons.emplace_back(role, button->Caption());
  std::size_t record = 0;
  {
    std::lock_guard lock(mutex_);
    record = dialogs_.size();
    dialogs_.push_back(shown);
    transcript_.push_back("dialog " + shown.message.ToUTF8());
  }

  Answer answer = Next({Answer::Kind::Press, Answer::Kind::Dismiss}, "the dialog \"" + shown.message.ToUTF8() + "\"");
  if (answer.whileShown) answer.whileShown();
  if (answer.kind == Answer::Kind::Dismiss) {
    Log("dismiss");
    return DialogButton::None;
  }
  const auto pressed = std::find_if(shown.buttons.begin(), shown.buttons.end(),
                                    [&](const auto& b) { return b.first == answer.button; });
  if (pressed == shown.buttons.end())
    Fail("the script presses a button the dialog \"" + shown.message.ToUTF8() + "\" does not show");
  {
    std::lock_guard lock(mutex_);
    dialogs_[record].answer = answer.button;
    transcript_.push_back("press " + pressed->second.ToUTF8());
  }
  return answer.button;
}

void ScriptedUser::ShowMessageBox(const String& text) {
  std::lock_guard lock(mutex_);
  messageBoxes_.push_back(text);
  transcript_.push_back("msgbox " + text.ToUTF8());
}

FolderItemPtr ScriptedUser::Choose(const ChooserRequest& request) {
  const bool folder = request.kind == ChooserRequest::Kind::Folder;
  {
    std::lock_guard lock(mutex_);
    choosers_.push_back(request);
    transcript_.push_back(KindName(folder));
  }
  Answer answer = Next({Answer::Kind::Choose, Answer::Kind::CancelChooser}, std::string("a ") + KindName(folder));
  if (answer.kind == Answer::Kind::CancelChooser || !answer.item) {
    Log("cancel chooser");
    return nullptr;
  }
  Log("choose " + answer.item->PosixPath().string());
  return answer.item;
}

}  // namespace framework
