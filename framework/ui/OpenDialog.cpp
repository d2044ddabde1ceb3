#include "framework/ui/OpenDialog.h"

#include "framework/core/threads/Baton.h"
#include "framework/ui/UserInterface.h"

namespace framework {

FolderItemPtr OpenDialog::ShowModal() const {
  ChooserRequest request;
  request.kind = ChooserRequest::Kind::File;
  request.title = title_;
  request.promptText = promptText_;
  request.initialDirectory = initialDirectory_;
  request.filter = filter_;
  UserInterface& ui = CurrentUserInterface();
  BatonReleaser waitForThePerson;
  return ui.Choose(request);
}

FolderItemPtr GetOpenFolderItem(const String& filter) {
  OpenDialog dialog;
  dialog.Filter(filter);
  return dialog.ShowModal();
}

}  // namespace framework
