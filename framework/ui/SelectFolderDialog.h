// The folder chooser.
#pragma once

#include "framework/core/files/FolderItem.h"
#include "framework/core/text/String.h"

namespace framework {

class SelectFolderDialog {
 public:
  const String& Title() const { return title_; }
  void Title(const String& v) { title_ = v; }
  const String& PromptText() const { return promptText_; }
  void PromptText(const String& v) { promptText_ = v; }
  // The folder the chooser opens in; nullptr leaves it to the front.
  const FolderItemPtr& InitialDirectory() const { return initialDirectory_; }
  void InitialDirectory(FolderItemPtr v) { initialDirectory_ = std::move(v); }

  // Waits for the person (giving the baton up); the folder chosen, or
  // nullptr when cancelled.
  FolderItemPtr ShowModal() const;

 private:
  String title_;
  String promptText_;
  FolderItemPtr initialDirectory_;
};

// A folder chooser with the front's defaults, in one call.
FolderItemPtr SelectFolder();

}  // namespace framework
