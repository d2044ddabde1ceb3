// Builds the products' preference files field by field: "pref2" with every
// string encoded (key "kV") and its counts as encoded decimal text, "pref"
// plain with 32-bit big-endian counts. File() writes a whole file as the
// products do; the field writers build damaged ones.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "support/EnigmaEncoder.h"

namespace testsupport {

class PrefFileWriter {
 public:
  static PrefFileWriter Pref2() { return PrefFileWriter(true); }
  static PrefFileWriter Pref() { return PrefFileWriter(false); }

  // Length byte and the stored bytes (encoded in "pref2": twice as many, so
  // at most 127 plain bytes there).
  PrefFileWriter& Short(const std::string& plain) {
    const std::string stored = Stored(plain);
    bytes_.push_back(static_cast<char>(stored.size()));
    bytes_ += stored;
    return *this;
  }
  PrefFileWriter& Long(std::int32_t value) {
    const auto v = static_cast<std::uint32_t>(value);
    for (int shift = 24; shift >= 0; shift -= 8) bytes_.push_back(static_cast<char>(v >> shift & 0xFF));
    return *this;
  }
  // The stored bytes' length as a 32-bit integer, then the stored bytes.
  PrefFileWriter& LongString(const std::string& plain) {
    const std::string stored = Stored(plain);
    Long(static_cast<std::int32_t>(stored.size()));
    bytes_ += stored;
    return *this;
  }
  // A count as the format keeps it.
  PrefFileWriter& Count(std::int32_t n) { return encoded_ ? Short(std::to_string(n)) : Long(n); }
  PrefFileWriter& Raw(const std::string& bytes) {
    bytes_ += bytes;
    return *this;
  }

  // Header, two values, then the entries; 17, 18 and 19 as long strings.
  PrefFileWriter& Entries(const std::vector<std::string>& entries) {
    Short("header").Count(2).Short("3").Short("14").Count(static_cast<std::int32_t>(entries.size()));
    for (std::size_t i = 0; i < entries.size(); ++i) {
      if (i >= 17 && i <= 19) {
        LongString(entries[i]);
      } else {
        Short(entries[i]);
      }
    }
    return *this;
  }

  const std::string& Bytes() const { return bytes_; }

  // A whole file recording these locations in entries 17, 18 and 19, with
  // 21 entries in all.
  static std::string File(bool encoded, const std::string& entry17, const std::string& entry18,
                          const std::string& entry19) {
    std::vector<std::string> entries(21);
    for (std::size_t i = 0; i < entries.size(); ++i) entries[i] = "v" + std::to_string(i);
    entries[17] = entry17;
    entries[18] = entry18;
    entries[19] = entry19;
    return PrefFileWriter(encoded).Entries(entries).Bytes();
  }

 private:
  explicit PrefFileWriter(bool encoded) : encoded_(encoded) {}

  std::string Stored(const std::string& plain) const {
    return encoded_ ? EnigmaEncode(plain, framework::String::FromBytes("kV", framework::EncodingId::None)) : plain;
  }

  bool encoded_;
  std::string bytes_;
};

}  // namespace testsupport
