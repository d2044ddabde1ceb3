#include "framework/ui/SelectFolderDialog.h"

#include "framework/core/threads/Baton.h"
#include "framework/ui/UserInterface.h"

namespace framework {

FolderItemPtr SelectFolderDialog::ShowModal() const {
  ChooserRequest request;
  request.kind = ChooserRequest::Kind::Folder;
  request.title = title_;
  request.promptText = promptText_;
  request.initialDirectory = initialDirectory_;
  UserInterface& ui = CurrentUserInterface();
  BatonReleaser waitForThePerson;
  return ui.Choose(request);
}

FolderItemPtr SelectFolder() { return SelectFolderDialog().ShowModal(); }

}  // namespace framework
