#include "framework/core/files/FinderInfo.h"

#include <sys/types.h>
#include <sys/xattr.h>

#include <algorithm>
#include <cstring>

namespace framework::finderinfo {

#ifdef __APPLE__
const char* const kAttributeName = "com.apple.FinderInfo";
#else
const char* const kAttributeName = "user.com.apple.FinderInfo";
#endif

std::optional<Record> Read(const std::filesystem::path& item) {
  Record record{};
#ifdef __APPLE__
  const ssize_t got = getxattr(item.c_str(), kAttributeName, record.data(), record.size(), 0, XATTR_NOFOLLOW);
#else
  const ssize_t got = lgetxattr(item.c_str(), kAttributeName, record.data(), record.size());
#endif
  // Type and creator are the first eight bytes; anything shorter carries
  // neither.
  if (got < 8) return std::nullopt;
  return record;
}

bool Write(const std::filesystem::path& item, const Record& record) {
#ifdef __APPLE__
  return setxattr(item.c_str(), kAttributeName, record.data(), record.size(), 0, XATTR_NOFOLLOW) == 0;
#else
  return lsetxattr(item.c_str(), kAttributeName, record.data(), record.size(), 0) == 0;
#endif
}

Record Make(const char type[4], const char creator[4], std::uint16_t flags) {
  Record record{};
  std::memcpy(record.data(), type, 4);
  std::memcpy(record.data() + 4, creator, 4);
  record[8] = static_cast<std::uint8_t>(flags >> 8);
  record[9] = static_cast<std::uint8_t>(flags & 0xff);
  return record;
}

}  // namespace framework::finderinfo
