// Everything that needs the person at the screen goes through this one
// interface: the Qt front implements it with real widgets, the scripted user
// of framework/testing with a script, so every dialog path runs headless.
//
// Two kinds of calls:
//   - Show/Hide/CloseWindow, Beep and Quit come under the baton and return at
//     once (the front only notes them and redraws later).
//   - RunModal, ShowMessageDialog, ShowMessageBox and Choose wait for the
//     person. The framework gives the baton up before it calls them and takes
//     it back after, so they come WITHOUT the baton, possibly from a worker
//     thread. An implementation takes the baton itself around anything that
//     touches models (a person's click delivered to a handler). The dialog or
//     request passed in belongs to the waiting caller and stays unchanged.
#pragma once

#include <cstdint>

#include "framework/core/files/FolderItem.h"
#include "framework/core/text/String.h"
#include "framework/ui/MessageDialogButton.h"

namespace framework {

class MessageDialog;
class Window;

// A folder or file chooser as the program configured it.
struct ChooserRequest {
  enum class Kind : std::uint8_t { Folder, File };
  Kind kind = Kind::Folder;
  String title;
  String promptText;
  FolderItemPtr initialDirectory;  // nullptr: the front's choice
  String filter;                   // file types; "" for any file
};

class UserInterface {
 public:
  virtual ~UserInterface() = default;

  // Under the baton, returning at once.
  virtual void ShowWindow(Window& window) = 0;
  virtual void HideWindow(Window& window) = 0;
  // The window has closed (its CancelClose let it); forget it.
  virtual void CloseWindow(Window& window) = 0;
  virtual void Beep() = 0;
  // Ends the event loop after the current event.
  virtual void Quit() = 0;

  // Without the baton, waiting for the person.
  // Returns when the window is hidden or closed.
  virtual void RunModal(Window& window) = 0;
  // parent: show as a sheet of that window; nullptr: application-modal.
  virtual DialogButton ShowMessageDialog(const MessageDialog& dialog, Window* parent) = 0;
  virtual void ShowMessageBox(const String& text) = 0;
  // The item chosen; nullptr when the person cancelled.
  virtual FolderItemPtr Choose(const ChooserRequest& request) = 0;
};

// Installs the process's user interface and returns the previous one;
// nullptr installs none.
UserInterface* SetUserInterface(UserInterface* ui);
// The installed user interface. With none installed, one that shows nothing
// and throws std::logic_error whenever the person would be asked (a program
// that waits for an answer nobody can give must not hang silently).
UserInterface& CurrentUserInterface();

}  // namespace framework
