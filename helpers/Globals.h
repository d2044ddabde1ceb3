// The module Globals: small file, bundle and timing helpers every subsystem
// uses, and the module data several of them share (the product table and
// the beep flag of the caution dialogs).
#pragma once

#include <cstdint>
#include <vector>

#include "framework/core/files/FolderItem.h"
#include "framework/core/text/String.h"

namespace Globals {

using framework::FolderItemPtr;
using framework::String;

// Module data. The product table (gAppName, gAppTypeCre, gDocTypeCre) is
// filled once by App.InitApp; gBeep is set by it too.
extern bool gBeep;
extern std::vector<String> gAppName;
extern std::vector<String> gAppTypeCre;
extern std::vector<String> gDocTypeCre;

// Splits s at its last ".". The caller passes both outputs empty; without a
// "." in s, body becomes s and extn keeps what it came with.
void gExtractBodyAndExtn(const String& s, String& body, String& extn);
// The text after the last "." of s; "" when s holds none.
String gExtractExtn(const String& s);
// True for a folder whose name has the extension "app".
bool gAppPackage(const FolderItemPtr& f);
// The type+creator code: for a package the first line of "contents"/"PkgInfo"
// (or "" when it cannot be read), else MacType followed by MacCreator. Of
// "PkgInfo" only the first kPkgInfoReadLimit bytes are ever read: a longer
// first line comes back cut there.
inline constexpr std::int64_t kPkgInfoReadLimit = 64;
String gGetTypeCre(const FolderItemPtr& f);
// Returns when more than ms milliseconds have passed, yielding meanwhile.
void gWait(double ms);
// Deletes f and everything inside it, at any depth. A link inside the tree
// is deleted as itself; its target is neither entered nor deleted. A failed
// deletion leaves that item (and so the folders above it) and goes on.
void gDeleteFolder(const FolderItemPtr& f);
// The path an alias record carries, for messages (helpers/AliasPathEx.cpp).
String gAbsPath_ex(const String& s);

}  // namespace Globals
