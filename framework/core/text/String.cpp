#include "framework/core/text/String.h"

#include <unicode/normalizer2.h>
#include <unicode/unistr.h>

#include "framework/core/text/TextCodec.h"

namespace framework {
namespace {

std::string NormalizedNFC(const std::string& utf8) {
  UErrorCode status = U_ZERO_ERROR;
  const icu::Normalizer2* nfc = icu::Normalizer2::getNFCInstance(status);
  if (U_FAILURE(status)) return utf8;
  const icu::UnicodeString text = icu::UnicodeString::fromUTF8(utf8);
  if (nfc->isNormalized(text, status) && U_SUCCESS(status)) return utf8;
  status = U_ZERO_ERROR;
  const icu::UnicodeString normal = nfc->normalize(text, status);
  if (U_FAILURE(status)) return utf8;
  std::string out;
  normal.toUTF8String(out);
  return out;
}

}  // namespace

std::string TextEncoding::internetName() const {
  switch (id_) {
    case EncodingId::UTF8: return "UTF-8";
    case EncodingId::UTF16: return "UTF-16";
    case EncodingId::MacJapanese: return "Shift_JIS";
    case EncodingId::ShiftJIS: return "Shift_JIS";
    case EncodingId::EUCJP: return "EUC-JP";
    case EncodingId::ISO2022JP: return "ISO-2022-JP";
    case EncodingId::None: return "";
  }
  return "";
}

String String::FromBytes(std::string bytes, EncodingId encoding) {
  String s(std::move(bytes));
  s.encoding_ = encoding;
  return s;
}

std::optional<TextEncoding> String::Encoding() const {
  if (encoding_ == EncodingId::None) return std::nullopt;
  return TextEncoding(encoding_);
}

std::string String::ToUTF8() const {
  if (detail::ReadingEncoding(bytes_, encoding_) == EncodingId::UTF8 && detail::IsStrictUTF8(bytes_)) return bytes_;
  return detail::Encode(detail::Decode(bytes_, encoding_), EncodingId::UTF8);
}

String operator+(const String& a, const String& b) {
  if (a.encoding_ == b.encoding_) return String::FromBytes(a.bytes_ + b.bytes_, a.encoding_);
  if (b.bytes_.empty()) return a;
  if (a.bytes_.empty()) return b;
  return String(a.ToUTF8() + b.ToUTF8());
}

String& String::operator+=(const String& other) {
  *this = *this + other;
  return *this;
}

bool operator==(const String& a, const String& b) {
  if (a.encoding_ == b.encoding_ && a.bytes_ == b.bytes_) return true;
  return NormalizedNFC(a.ToUTF8()) == NormalizedNFC(b.ToUTF8());
}

String DefineEncoding(const String& s, TextEncoding encoding) {
  return String::FromBytes(s.Bytes(), encoding.id());
}

}  // namespace framework
