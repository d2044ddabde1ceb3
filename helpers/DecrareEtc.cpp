#include "helpers/DecrareEtc.h"

#include <new>

namespace DecrareEtc {

std::optional<Handle> TextToHandle(const framework::String& s) {
  try {
    const std::string& bytes = s.Bytes();
    return Handle(bytes.begin(), bytes.end());
  } catch (const std::bad_alloc&) {
    return std::nullopt;
  }
}

framework::String GetFullPath(const framework::FolderItemPtr& folder) {
  if (!folder) return framework::String();
  framework::String path = folder->AbsolutePath();
  const std::string& bytes = path.Bytes();
  // The framework ends a folder's path in ":" already; a link to a folder or
  // a folder that has gone since gets its ":" here, as the walk would give.
  if (bytes.empty() || bytes.back() != ':') path += ":";
  return path;
}

}  // namespace DecrareEtc
