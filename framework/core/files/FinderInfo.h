// The Finder's information about an item, kept as the extended attribute the
// Mac itself uses, so copies made by either system keep type, creator and
// flags. Internal to the file layer.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>

namespace framework::finderinfo {

// The attribute's name: "com.apple.FinderInfo" on macOS; Linux admits
// unprivileged attributes only in the "user." namespace.
extern const char* const kAttributeName;

// Bytes 8-9 (big-endian) of both the file and the folder record hold the
// Finder flags.
inline constexpr std::uint16_t kIsInvisible = 0x4000;

using Record = std::array<std::uint8_t, 32>;

// The item's own record (a link's, never its target's); nothing when it has
// none or the record is shorter than the type and creator. A short record is
// padded with zeros.
std::optional<Record> Read(const std::filesystem::path& item);

// Writes the record (tests and fixtures).
bool Write(const std::filesystem::path& item, const Record& record);

// A record with the given four-character type and creator and flags.
Record Make(const char type[4], const char creator[4], std::uint16_t flags = 0);

inline std::uint16_t Flags(const Record& record) {
  return static_cast<std::uint16_t>(record[8] << 8 | record[9]);
}

}  // namespace framework::finderinfo
