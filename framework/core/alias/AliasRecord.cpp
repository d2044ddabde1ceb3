#include "framework/core/alias/AliasRecord.h"

#include <unicode/unistr.h>

#include <algorithm>

namespace framework {
namespace {

constexpr std::size_t kVersion2FixedSize = 150;
constexpr std::size_t kVersion3FixedSize = 58;

// Bounds-checked big-endian reads over the readable part of the record.
class Reader {
 public:
  explicit Reader(std::string_view bytes) : bytes_(bytes) {}
  std::size_t size() const { return bytes_.size(); }

  std::uint8_t U8(std::size_t at) const {
    return at < bytes_.size() ? static_cast<std::uint8_t>(bytes_[at]) : 0;
  }
  std::uint16_t U16(std::size_t at) const {
    return static_cast<std::uint16_t>((U8(at) << 8) | U8(at + 1));
  }
  std::uint32_t U32(std::size_t at) const {
    return (static_cast<std::uint32_t>(U16(at)) << 16) | U16(at + 2);
  }
  // Up to `count` bytes from `at`, fewer when the buffer ends sooner.
  std::string_view Bytes(std::size_t at, std::size_t count) const {
    if (at >= bytes_.size()) return {};
    return bytes_.substr(at, std::min(count, bytes_.size() - at));
  }
  // A Pascal string in a field of `fieldSize` bytes: a length byte, then at
  // most fieldSize - 1 bytes whatever the length byte claims.
  std::string PString(std::size_t at, std::size_t fieldSize) const {
    const std::size_t length = std::min<std::size_t>(U8(at), fieldSize - 1);
    return std::string(Bytes(at + 1, length));
  }

 private:
  std::string_view bytes_;
};

// Tags 14 and 15: a UTF-16 unit count, then big-endian UTF-16. A count beyond
// the field's data is cut to what is there; broken surrogates become U+FFFD.
std::string UnicodeName(std::string_view data) {
  const Reader r(data);
  const std::size_t available = data.size() >= 2 ? (data.size() - 2) / 2 : 0;
  const std::size_t count = std::min<std::size_t>(r.U16(0), available);
  std::u16string units;
  units.reserve(count);
  for (std::size_t i = 0; i < count; ++i) units.push_back(static_cast<char16_t>(r.U16(2 + 2 * i)));
  std::string utf8;
  icu::UnicodeString(units.data(), static_cast<int32_t>(units.size())).toUTF8String(utf8);
  return utf8;
}

std::string WithoutNuls(std::string_view data) {
  std::string out;
  out.reserve(data.size());
  for (char c : data)
    if (c != '\0') out.push_back(c);
  return out;
}

void ReadTag(AliasRecord& record, std::int16_t tag, std::string_view data) {
  switch (tag) {
    case 0:
      record.parentName = std::string(data);
      return;
    case 1: {
      const Reader r(data);
      for (std::size_t at = 0; at + 4 <= data.size(); at += 4) record.folderIDs.push_back(r.U32(at));
      return;
    }
    case 2:
      record.colonPath = WithoutNuls(data);
      return;
    case 14:
      record.unicodeFileName = UnicodeName(data);
      return;
    case 15:
      record.unicodeVolumeName = UnicodeName(data);
      return;
    case 18:
      record.posixPath = std::string(data);
      return;
    case 19:
      record.mountPoint = std::string(data);
      return;
    default:
      // Zones, servers, dates, disk-image aliases: nothing the resolver uses.
      return;
  }
}

}  // namespace

std::optional<AliasRecord> ParseAliasRecord(std::string_view bytes) {
  try {
    const Reader whole(bytes);
    if (bytes.size() < 8) return std::nullopt;
    AliasRecord record;
    record.recordSize = whole.U16(4);
    record.version = whole.U16(6);
    std::size_t fixedSize = 0;
    if (record.version == 2)
      fixedSize = kVersion2FixedSize;
    else if (record.version == 3)
      fixedSize = kVersion3FixedSize;
    else
      return std::nullopt;
    if (bytes.size() < fixedSize) return std::nullopt;

    // A size smaller than the fixed part cannot be right; read to the end of
    // the buffer then, and let the end marker stop the list.
    const std::size_t limit =
        record.recordSize < fixedSize ? bytes.size() : std::min<std::size_t>(record.recordSize, bytes.size());
    const Reader r(bytes.substr(0, limit));

    record.kindValue = r.U16(8);
    record.kind = record.kindValue == 0   ? AliasRecord::Kind::File
                  : record.kindValue == 1 ? AliasRecord::Kind::Folder
                                          : AliasRecord::Kind::Other;
    if (record.version == 2) {
      record.volumeName = r.PString(10, 28);
      record.parentDirID = r.U32(46);
      record.fileName = r.PString(50, 64);
      record.fileNumber = r.U32(114);
      record.fileType = std::string(r.Bytes(122, 4));
      record.creator = std::string(r.Bytes(126, 4));
    } else {
      record.parentDirID = r.U32(24);
      record.fileNumber = r.U32(28);
    }

    std::size_t at = fixedSize;
    while (at + 4 <= r.size()) {
      const auto tag = static_cast<std::int16_t>(r.U16(at));
      const std::size_t length = r.U16(at + 2);
      if (tag == -1) break;
      if (at + 4 + length > r.size()) break;  // a field cut short: keep what came before
      ReadTag(record, tag, r.Bytes(at + 4, length));
      at += 4 + length + (length & 1);
    }
    return record;
  } catch (...) {
    // Only allocation can fail here; a record that cannot be held is no record.
    return std::nullopt;
  }
}

}  // namespace framework
