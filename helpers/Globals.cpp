#include "helpers/Globals.h"

#include <algorithm>
#include <chrono>
#include <string>
#include <thread>

#include "framework/core/files/RemoveTree.h"
#include "framework/core/files/Streams.h"
#include "framework/core/text/StringFunctions.h"
#include "framework/core/threads/Baton.h"

namespace Globals {

using framework::CountFields;
using framework::NthField;

bool gBeep = false;
std::vector<String> gAppName;
std::vector<String> gAppTypeCre;
std::vector<String> gDocTypeCre;

void gExtractBodyAndExtn(const String& s, String& body, String& extn) {
  const std::int32_t n = CountFields(s, ".");
  if (n <= 1) {
    body = s;
    return;
  }
  extn = NthField(s, ".", n);
  for (std::int32_t i = 1; i <= n - 1; ++i) {
    body += NthField(s, ".", i);
    if (i < n - 1) body += ".";
    framework::Yield();
  }
}

String gExtractExtn(const String& s) {
  String body;
  String extn;
  gExtractBodyAndExtn(s, body, extn);
  return extn;
}

bool gAppPackage(const FolderItemPtr& f) {
  if (!(gExtractExtn(f->Name()) == "app")) return false;
  return f->MacType() == "fold";
}

String gGetTypeCre(const FolderItemPtr& f) {
  if (!gAppPackage(f)) return f->MacType() + f->MacCreator();
  FolderItemPtr contents = f->FindChild("contents");
  FolderItemPtr pkgInfo = contents ? contents->FindChild("PkgInfo") : nullptr;
  if (!pkgInfo || !pkgInfo->Exists()) return "";
  // The code is eight characters, but "PkgInfo" is whatever lies in a
  // folder named so, possibly gigabytes without a line end, and the scan
  // holds the baton while it reads: only a short prefix is read, and its
  // first line is the code. Any text that long is no code of the table.
  const framework::BinaryStreamPtr stream = pkgInfo->OpenAsBinaryFile(/*write=*/false);
  if (!stream) return "";
  std::string line = stream->Read(kPkgInfoReadLimit).Bytes();
  line.resize(std::min(line.size(), line.find_first_of("\r\n")));
  return String::FromBytes(std::move(line), framework::EncodingId::None);
}

void gWait(double ms) {
  const double deadline = framework::Microseconds() + ms * 1000.0;
  while (framework::Microseconds() <= deadline) {
    framework::Yield();
    // With real threads under the baton, spinning alone would burn a core
    // for nothing: when no other thread wants the baton, let it go and rest
    // for a moment (at most a millisecond, never past the deadline).
    if (framework::Baton::Waiters() == 0) {
      const double left = deadline - framework::Microseconds();
      if (left > 0) {
        framework::BatonReleaser letOthersRun;
        std::this_thread::sleep_for(std::chrono::microseconds(
            static_cast<std::int64_t>(std::min(left + 1.0, 1000.0))));
      }
    }
  }
}

void gDeleteFolder(const FolderItemPtr& f) {
  // By directory handles, at any depth: a tree deeper than a path can name
  // would leave its deepest items behind if deleted by paths.
  framework::RemoveTree(f->PosixPath());
}

}  // namespace Globals
