// The framework's text: a byte string with an encoding tag.
//
// The program treats every text as bytes plus the encoding they are in. Texts
// written in the C++ source are UTF-8; texts read from other applications'
// files carry whatever encoding the reader gives them (or none). Conversions
// happen only where the program asks for them, and in two places of the
// framework's own:
//   - joining two texts of different encodings converts both to UTF-8, so a
//     status line made of a UTF-8 path and a Mac Japanese suffix stays legible;
//   - comparing two texts compares their UTF-8 forms in Unicode NFC, exactly
//     and case-sensitively (type and creator codes are case-sensitive, and a
//     case-insensitive path compare would merge two files of a
//     case-sensitive disk).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace framework {

enum class EncodingId : std::uint8_t {
  None,         // bytes whose encoding is not known
  UTF8,
  UTF16,        // big-endian unless a byte-order mark says otherwise
  MacJapanese,  // Apple's Shift_JIS variant (the program's "Shift-JIS")
  ShiftJIS,     // Windows code page 932, as ICU's "Shift_JIS"
  EUCJP,
  ISO2022JP,
};

// A named text encoding. The system default of this framework is UTF-8.
class TextEncoding {
 public:
  constexpr explicit TextEncoding(EncodingId id) : id_(id) {}
  constexpr EncodingId id() const { return id_; }
  // The IANA name: "UTF-8", "UTF-16", "Shift_JIS" (Mac Japanese and Shift_JIS
  // alike, as the Mac names them), "EUC-JP", "ISO-2022-JP".
  std::string internetName() const;
  friend constexpr bool operator==(TextEncoding a, TextEncoding b) { return a.id_ == b.id_; }

 private:
  EncodingId id_;
};

namespace Encodings {
inline constexpr TextEncoding UTF8{EncodingId::UTF8};
inline constexpr TextEncoding UTF16{EncodingId::UTF16};
inline constexpr TextEncoding MacJapanese{EncodingId::MacJapanese};
inline constexpr TextEncoding ShiftJIS{EncodingId::ShiftJIS};
inline constexpr TextEncoding SystemDefault{EncodingId::UTF8};
}  // namespace Encodings

class String {
 public:
  String() = default;                                    // empty, UTF-8
  String(const char* utf8) : bytes_(utf8 ? utf8 : "") {}  // NOLINT: implicit by design
  String(std::string utf8) : bytes_(std::move(utf8)) {}  // NOLINT
  String(std::string_view utf8) : bytes_(utf8) {}        // NOLINT

  // Bytes in a given encoding (EncodingId::None: encoding unknown).
  static String FromBytes(std::string bytes, EncodingId encoding);

  const std::string& Bytes() const { return bytes_; }
  EncodingId EncodingTag() const { return encoding_; }
  // The encoding, or nothing for bytes of unknown encoding.
  std::optional<TextEncoding> Encoding() const;
  bool IsEmpty() const { return bytes_.empty(); }

  // The text as UTF-8, converted from its tag. Bytes of unknown encoding are
  // taken as UTF-8 when they are valid UTF-8, else as Mac Japanese. Bytes that
  // do not decode become U+FFFD; this never fails.
  std::string ToUTF8() const;

  friend String operator+(const String& a, const String& b);
  String& operator+=(const String& other);
  friend bool operator==(const String& a, const String& b);
  friend bool operator!=(const String& a, const String& b) { return !(a == b); }

 private:
  std::string bytes_;
  EncodingId encoding_ = EncodingId::UTF8;
};

// Relabels the bytes without converting them.
String DefineEncoding(const String& s, TextEncoding encoding);

// The platform's line break. This framework stands on Unix: a line feed.
inline constexpr const char* EndOfLine = "\n";

}  // namespace framework
