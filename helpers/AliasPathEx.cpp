#include "helpers/AliasPathEx.h"

#include <string>

#include "framework/core/threads/Baton.h"

namespace Globals {

framework::String gAbsPath_ex(const framework::String& s) {
  const std::string& bytes = s.Bytes();
  for (std::size_t i = 0; i + 2 < bytes.size(); ++i) {
    if (bytes[i] == '\0' && bytes[i + 1] == '\x02' && bytes[i + 2] == '\0') {
      const std::size_t length = i + 3 < bytes.size() ? static_cast<unsigned char>(bytes[i + 3]) : 0;
      if (length > 0) {
        const std::size_t start = i + 4;
        std::string path = start < bytes.size() ? bytes.substr(start, length) : std::string();
        return framework::String::FromBytes(std::move(path), s.EncodingTag());
      }
    }
    framework::Yield();
  }
  return s;
}

}  // namespace Globals
