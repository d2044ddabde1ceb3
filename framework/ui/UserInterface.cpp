#include "framework/ui/UserInterface.h"

#include <atomic>
#include <stdexcept>

namespace framework {
namespace {

class NoUserInterface final : public UserInterface {
 public:
  void ShowWindow(Window&) override {}
  void HideWindow(Window&) override {}
  void CloseWindow(Window&) override {}
  void Beep() override {}
  void Quit() override {}
  void RunModal(Window&) override { Refuse("a modal window"); }
  DialogButton ShowMessageDialog(const MessageDialog&, Window*) override { Refuse("a message dialog"); }
  void ShowMessageBox(const String&) override { Refuse("a message box"); }
  FolderItemPtr Choose(const ChooserRequest&) override { Refuse("a chooser"); }

 private:
  [[noreturn]] static void Refuse(const char* what) {
    throw std::logic_error(std::string("no user interface installed to show ") + what);
  }
};

NoUserInterface gNone;
std::atomic<UserInterface*> gInstalled{nullptr};

}  // namespace

UserInterface* SetUserInterface(UserInterface* ui) { return gInstalled.exchange(ui); }

UserInterface& CurrentUserInterface() {
  UserInterface* ui = gInstalled.load();
  return ui != nullptr ? *ui : gNone;
}

}  // namespace framework
