// The documents folder that three of the maker's products record in their
// own preference files. Reading those files is not built yet: until then no
// documents folder is recorded and the products' index lists come back as
// they came, so the rest of each product's items is still found.
#include "discovery/Thread2.h"

using framework::FolderItemPtr;
using framework::String;

// FIXME: read "Toskarine初期設定"/"pref2" for the documents folder.
String Thread2::GetItem2PUDocDTosk(const String& list, const FolderItemPtr& item) {
  (void)item;
  return list;
}

// FIXME: read "Kavreline初期設定"/"pref2" for the documents folder.
String Thread2::GetItem2PUDocDKavre(const String& list, const FolderItemPtr& item) {
  (void)item;
  return list;
}

// FIXME: read "Dornel初期設定"/"pref" for the documents folder.
String Thread2::GetItem2PUDocDVlq(const String& list, const FolderItemPtr& item) {
  (void)item;
  return list;
}
