// Where Mac Japanese parts from ICU's Shift_JIS.
//
// Mac Japanese shares JIS X 0208 and the half-width katakana with the
// Windows flavour of Shift_JIS that ICU calls "Shift_JIS", but Apple decodes a
// few single bytes and seven codes of row 0x81 differently, fills rows
// 0x85-0x88 with its own symbols and 0xEB-0xED with vertical forms (where ICU
// has NEC and IBM extensions), and gives the user-defined area 0xF040-0xFCFC
// to the private use area. These functions answer for exactly those codes;
// for every other code ICU's Shift_JIS stands.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace framework::macjapanese {

struct Entry {
  std::uint16_t code;     // a single byte (0x00XX) or a lead and trail byte
  const char16_t* text;   // Apple's reading: one character, or a short sequence
};

// Every code whose reading differs from ICU's, single bytes first, in
// ascending code order.
std::span<const Entry> Entries();

// Apple's reading of a single byte where it differs from ICU's.
std::optional<char16_t> SingleByte(unsigned char byte);

// Apple's reading of a double-byte code where it differs from ICU's; empty
// when ICU's stands, or when Apple leaves a code of its own areas undefined.
std::u16string_view DoubleByte(std::uint16_t code);

// Rows Apple fills itself (0x8540-0x889E, 0xEAA5-0xEFFC): a code there that
// DoubleByte does not know is undefined, never ICU's extension character.
bool InAppleArea(std::uint16_t code);

// The user-defined area 0xF040-0xFCFC and the private use characters Apple
// maps it to (U+E000 onwards, 188 codes per lead byte).
std::optional<char16_t> UserAreaCharacter(std::uint16_t code);
std::optional<std::uint16_t> UserAreaCode(char32_t c);

inline bool IsLeadByte(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }
inline bool IsTrailByte(unsigned char b) { return b >= 0x40 && b <= 0xFC && b != 0x7F; }

}  // namespace framework::macjapanese
