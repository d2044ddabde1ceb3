#include "framework/core/text/StringFunctions.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <vector>

#include <unicode/unistr.h>

#include "framework/core/text/TextCodec.h"

namespace framework {
namespace {

// A text read as characters, remembering where each character's bytes are,
// so that a part of it can be cut from the original bytes and keep their
// encoding.
class Characters {
 public:
  explicit Characters(const String& s) : source_(s), text_(detail::Decode(s.Bytes(), s.EncodingTag(), &offsets_)) {}

  const icu::UnicodeString& text() const { return text_; }
  std::int32_t Count() const { return text_.countChar32(); }

  // UTF-16 index of character n (from 0); the length when n is past the end.
  std::int32_t UnitIndex(std::int32_t n) const { return text_.moveIndex32(0, std::max(n, 0)); }
  std::int32_t CharacterIndex(std::int32_t unit) const { return text_.countChar32(0, unit); }

  // The text of UTF-16 units [begin, end).
  String Slice(std::int32_t begin, std::int32_t end) const {
    if (begin >= end) return String::FromBytes({}, source_.EncodingTag());
    // Shift states make a cut of ISO-2022-JP bytes unreadable on its own.
    if (source_.EncodingTag() == EncodingId::ISO2022JP) {
      std::string utf8;
      text_.tempSubStringBetween(begin, end).toUTF8String(utf8);
      return String(std::move(utf8));
    }
    const std::string& bytes = source_.Bytes();
    const auto from = static_cast<std::size_t>(ByteAt(begin));
    const auto to = static_cast<std::size_t>(ByteAt(end));
    std::string part = bytes.substr(from, to - from);
    // A cut of UTF-16 keeps the byte order its mark announced.
    if (source_.EncodingTag() == EncodingId::UTF16 && from >= 2 &&
        (bytes.starts_with("\xFE\xFF") || bytes.starts_with("\xFF\xFE")))
      part.insert(0, bytes, 0, 2);
    return String::FromBytes(std::move(part), source_.EncodingTag());
  }

 private:
  std::int32_t ByteAt(std::int32_t unit) const {
    if (unit >= text_.length()) return static_cast<std::int32_t>(source_.Bytes().size());
    return offsets_[static_cast<std::size_t>(unit)];
  }

  const String& source_;
  std::vector<std::int32_t> offsets_;
  icu::UnicodeString text_;
};

icu::UnicodeString Unicode(const String& s) { return detail::Decode(s.Bytes(), s.EncodingTag()); }

// The UTF-16 bounds of every field of s separated by sep.
std::vector<std::pair<std::int32_t, std::int32_t>> Fields(const icu::UnicodeString& s, const icu::UnicodeString& sep) {
  std::vector<std::pair<std::int32_t, std::int32_t>> fields;
  if (s.isEmpty()) return fields;
  if (sep.isEmpty()) return {{0, s.length()}};
  std::int32_t begin = 0;
  for (std::int32_t at = s.indexOf(sep, 0); at >= 0; at = s.indexOf(sep, begin)) {
    fields.emplace_back(begin, at);
    begin = at + sep.length();
  }
  fields.emplace_back(begin, s.length());
  return fields;
}

std::size_t ClampedByteIndex(std::int32_t position, std::size_t size) {
  if (position <= 0) return 0;
  return std::min(static_cast<std::size_t>(position), size);
}

}  // namespace

std::int32_t CountFields(const String& s, const String& sep) {
  return static_cast<std::int32_t>(Fields(Unicode(s), Unicode(sep)).size());
}

String NthField(const String& s, const String& sep, std::int32_t n) {
  const Characters chars(s);
  const auto fields = Fields(chars.text(), Unicode(sep));
  if (n < 1 || static_cast<std::size_t>(n) > fields.size()) return String::FromBytes({}, s.EncodingTag());
  const auto [begin, end] = fields[static_cast<std::size_t>(n - 1)];
  return chars.Slice(begin, end);
}

std::int32_t InStr(std::int32_t start, const String& s, const String& find) {
  const icu::UnicodeString wanted = Unicode(find);
  if (wanted.isEmpty()) return 0;
  const Characters chars(s);
  const std::int32_t first = std::max(start, 1) - 1;
  if (first >= chars.Count()) return 0;
  const std::int32_t at = chars.text().indexOf(wanted, chars.UnitIndex(first));
  return at < 0 ? 0 : chars.CharacterIndex(at) + 1;
}

std::int32_t InStr(const String& s, const String& find) { return InStr(1, s, find); }

String Mid(const String& s, std::int32_t start) {
  const Characters chars(s);
  return chars.Slice(chars.UnitIndex(std::max(start, 1) - 1), chars.text().length());
}

String Mid(const String& s, std::int32_t start, std::int32_t length) {
  if (length <= 0) return String::FromBytes({}, s.EncodingTag());
  const Characters chars(s);
  const std::int32_t first = std::max(start, 1) - 1;
  const std::int32_t begin = chars.UnitIndex(first);
  return chars.Slice(begin, chars.text().moveIndex32(begin, length));
}

std::int32_t Len(const String& s) { return Unicode(s).countChar32(); }

String LeftB(const String& s, std::int32_t count) {
  const std::string& b = s.Bytes();
  return String::FromBytes(b.substr(0, ClampedByteIndex(count, b.size())), s.EncodingTag());
}

String MidB(const String& s, std::int32_t start) {
  const std::string& b = s.Bytes();
  return String::FromBytes(b.substr(ClampedByteIndex(start - 1, b.size())), s.EncodingTag());
}

String MidB(const String& s, std::int32_t start, std::int32_t length) {
  const std::string& b = s.Bytes();
  if (length <= 0) return String::FromBytes({}, s.EncodingTag());
  const std::size_t from = ClampedByteIndex(start - 1, b.size());
  return String::FromBytes(b.substr(from, static_cast<std::size_t>(length)), s.EncodingTag());
}

std::int32_t LenB(const String& s) { return static_cast<std::int32_t>(s.Bytes().size()); }

std::int32_t AscB(const String& s) {
  if (s.Bytes().empty()) return 0;
  return static_cast<unsigned char>(s.Bytes().front());
}

String ChrB(std::int32_t value) {
  return String::FromBytes(std::string(1, static_cast<char>(value & 0xFF)), EncodingId::None);
}

String Str(double value) {
  char buffer[64];
  // Whole numbers print without a decimal point, as far as a double holds
  // every integer exactly.
  if (std::isfinite(value) && std::trunc(value) == value && std::fabs(value) < 1e15) {
    const auto whole = static_cast<std::int64_t>(value);
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, whole);
    return String(std::string_view(buffer, static_cast<std::size_t>(end - buffer)));
  }
  // Seven significant digits, as the platform printed a Double.
  const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 7);
  return String(std::string_view(buffer, static_cast<std::size_t>(end - buffer)));
}

String Str(std::int64_t value) {
  char buffer[24];
  const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
  return String(std::string_view(buffer, static_cast<std::size_t>(end - buffer)));
}

String Str(std::int32_t value) { return Str(static_cast<std::int64_t>(value)); }

double Val(const String& s) {
  const std::string text = s.ToUTF8();
  std::size_t i = text.find_first_not_of(" \t");
  if (i == std::string::npos) return 0;
  bool negative = false;
  if (text[i] == '+' || text[i] == '-') {
    negative = text[i] == '-';
    ++i;
  }
  auto isDigit = [&](std::size_t k) { return k < text.size() && text[k] >= '0' && text[k] <= '9'; };
  // A number starts with a digit or a decimal point and a digit; this also
  // keeps out the words "inf" and "nan" that the parser below would take.
  if (!isDigit(i) && !(i < text.size() && text[i] == '.' && isDigit(i + 1))) return 0;
  double value = 0;
  std::from_chars(text.data() + i, text.data() + text.size(), value, std::chars_format::general);
  return negative ? -value : value;
}

std::int32_t BitwiseXor(std::int32_t a, std::int32_t b) { return a ^ b; }

}  // namespace framework
