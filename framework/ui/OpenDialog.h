// The file chooser.
#pragma once

#include "framework/core/files/FolderItem.h"
#include "framework/core/text/String.h"

namespace framework {

class OpenDialog {
 public:
  const String& Title() const { return title_; }
  void Title(const String& v) { title_ = v; }
  const String& PromptText() const { return promptText_; }
  void PromptText(const String& v) { promptText_ = v; }
  const FolderItemPtr& InitialDirectory() const { return initialDirectory_; }
  void InitialDirectory(FolderItemPtr v) { initialDirectory_ = std::move(v); }
  // File types offered; "" offers every file.
  const String& Filter() const { return filter_; }
  void Filter(const String& v) { filter_ = v; }

  // Waits for the person (giving the baton up); the file chosen, or nullptr
  // when cancelled.
  FolderItemPtr ShowModal() const;

 private:
  String title_;
  String promptText_;
  FolderItemPtr initialDirectory_;
  String filter_;
};

// A file chooser offering the filter's types ("" for any), in one call.
FolderItemPtr GetOpenFolderItem(const String& filter);

}  // namespace framework
