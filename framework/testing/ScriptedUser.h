// A fake person at the screen for tests: a UserInterface that answers from a
// script and records everything the program showed.
//
// A test writes the answers in the order the program will ask for them, then
// acts as the person through UserInput (framework/ui/UserInput.h):
//
//   ScriptedUser user;                       // installed for this scope
//   user.WillPress(DialogButton::Cancel);    // the next message dialog
//   UserInput::ClickCloseBox(window);        // asks; "Cancel" answers it
//   EXPECT_EQ(user.Report(), "");            // no surprises, no answer left
//
// One queue holds every answer: message dialogs, choosers and modal windows
// take the next one in turn. A message box only has OK, so it needs none:
// it is recorded and acknowledged. When the next answer is missing or of
// another kind, the scripted user records a problem and throws
// ScriptedUser::Unscripted: in the test body the test fails with the
// message; in a worker the exception ends the worker, and Report() shows
// the problem.
//
// Threads: dialogs may be asked from workers. The scripted user answers on
// the asking thread, without the baton (as the framework calls it); a modal
// window's step takes the baton, because it acts on models. Records are
// guarded by a mutex and read as copies.
//
// Constructing one installs it as the process's user interface; destroying
// it forgets every open window (Window::DiscardAll) and reinstalls the
// previous interface, so no window outlives the test that made it.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <stdexcept>
#include <string>
#include <vector>

#include "framework/ui/MessageDialogButton.h"
#include "framework/ui/UserInterface.h"

namespace framework {

class ScriptedUser final : public UserInterface {
 public:
  class Unscripted : public std::runtime_error {
   public:
    using std::runtime_error::runtime_error;
  };

  // A message dialog as it was shown.
  struct ShownDialog {
    std::int32_t icon = 0;
    String title;
    String message;
    String explanation;
    // The visible buttons, in the order action, cancel, alternate.
    std::vector<std::pair<DialogButton, String>> buttons;
    const Window* parent = nullptr;
    DialogButton answer = DialogButton::None;
  };

  // A window the program showed (also each ShowModal).
  struct ShownWindow {
    const Window* window = nullptr;
    String title;
    bool modal = false;
  };

  ScriptedUser();
  ~ScriptedUser() override;
  ScriptedUser(const ScriptedUser&) = delete;
  ScriptedUser& operator=(const ScriptedUser&) = delete;

  // --- the script ---
  // The next message dialog: press that button. whileShown, when given, runs
  // on the asking thread, without the baton, before the answer is given (to
  // see what else goes on while the dialog is up); it must not touch models.
  void WillPress(DialogButton button, std::function<void()> whileShown = {});
  // The next message dialog goes away without any of its buttons.
  void WillDismissDialog();
  // The next folder or file chooser: choose this item.
  void WillChoose(FolderItemPtr item);
  // The next folder or file chooser: cancel.
  void WillCancelChooser();
  // The next modal window: run the step, holding the baton, while ShowModal
  // waits. The step acts as the person (UserInput) and is expected to leave
  // the window hidden or closed; answers it needs (a caution dialog of the
  // window) follow in the queue.
  void WillDrive(std::function<void(Window&)> step);

  // --- what was shown ---
  int Beeps() const;
  std::vector<ShownDialog> Dialogs() const;
  std::vector<String> MessageBoxes() const;
  std::vector<ChooserRequest> Choosers() const;
  std::vector<ShownWindow> WindowsShown() const;
  int Quits() const;
  // Everything in order, one short line each: "beep", "show <title>",
  // "modal <title>", "hide <title>", "close <title>", "dialog <message>",
  // "press <caption>", "dismiss", "msgbox <text>", "folder chooser",
  // "file chooser", "choose <posix path>", "cancel chooser", "quit".
  std::vector<std::string> Transcript() const;

  // --- checking the run ---
  // Problems met (unscripted or mis-scripted interactions).
  std::vector<std::string> Problems() const;
  std::size_t PendingAnswers() const;
  // "" when every interaction was scripted and every answer used; else one
  // line per problem and per unused answer.
  std::string Report() const;

  // --- UserInterface ---
  void ShowWindow(Window& window) override;
  void HideWindow(Window& window) override;
  void CloseWindow(Window& window) override;
  void Beep() override;
  void Quit() override;
  void RunModal(Window& window) override;
  DialogButton ShowMessageDialog(const MessageDialog& dialog, Window* parent) override;
  void ShowMessageBox(const String& text) override;
  FolderItemPtr Choose(const ChooserRequest& request) override;

 private:
  struct Answer {
    enum class Kind { Press, Dismiss, Choose, CancelChooser, Drive };
    explicit Answer(Kind k) : kind(k) {}
    Kind kind;
    DialogButton button = DialogButton::None;
    std::function<void()> whileShown;
    FolderItemPtr item;
    std::function<void(Window&)> step;
  };

  static std::string Describe(Answer::Kind kind);
  void Queue(Answer answer);
  // Takes the next answer if it is one of the kinds; otherwise records the
  // problem and throws Unscripted.
  Answer Next(std::initializer_list<Answer::Kind> kinds, const std::string& asked);
  [[noreturn]] void Fail(const std::string& problem);
  void Log(std::string line);

  mutable std::mutex mutex_;
  std::deque<Answer> answers_;
  int beeps_ = 0;
  int quits_ = 0;
  std::vector<ShownDialog> dialogs_;
  std::vector<String> messageBoxes_;
  std::vector<ChooserRequest> choosers_;
  std::vector<ShownWindow> windows_;
  std::vector<std::string> transcript_;
  std::vector<std::string> problems_;
  UserInterface* previous_;
};

}  // namespace framework
