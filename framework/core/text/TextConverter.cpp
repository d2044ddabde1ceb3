#include "framework/core/text/TextConverter.h"

#include <memory>
#include <unordered_map>

#include <unicode/ucnv.h>
#include <unicode/ucnv_cb.h>
#include <unicode/ustring.h>

#include "framework/core/text/MacJapaneseTable.h"
#include "framework/core/text/TextCodec.h"

namespace framework {
namespace detail {
namespace {

struct ConverterCloser {
  void operator()(UConverter* c) const { ucnv_close(c); }
};
using Converter = std::unique_ptr<UConverter, ConverterCloser>;

// ICU's own substitute for an undecodable byte depends on the code page (the
// Shift_JIS table gives U+001A, a control character that vanishes on screen);
// the framework promises U+FFFD everywhere.
void SubstituteReplacementCharacter(const void*, UConverterToUnicodeArgs* args, const char*, int32_t,
                                    UConverterCallbackReason reason, UErrorCode* status) {
  if (reason > UCNV_IRREGULAR) return;  // reset, close, clone: nothing to write
  static constexpr UChar kReplacement = 0xFFFD;
  *status = U_ZERO_ERROR;
  ucnv_cbToUWriteUChars(args, &kReplacement, 1, 0, status);
}

Converter OpenDecoder(const char* name) {
  UErrorCode status = U_ZERO_ERROR;
  Converter c(ucnv_open(name, &status));
  if (U_FAILURE(status)) return nullptr;
  ucnv_setToUCallBack(c.get(), SubstituteReplacementCharacter, nullptr, nullptr, nullptr, &status);
  return c;
}

// Appends ICU's decoding of bytes (which begin at byte firstOffset of the
// whole text) to out.
void DecodeWithIcu(const char* name, std::string_view bytes, std::int32_t firstOffset, icu::UnicodeString& out,
                   std::vector<std::int32_t>* offsets) {
  if (bytes.empty()) return;
  Converter c = OpenDecoder(name);
  if (!c) {
    for (std::size_t i = 0; i < bytes.size(); ++i) {
      out.append(static_cast<UChar>(0xFFFD));
      if (offsets) offsets->push_back(firstOffset + static_cast<std::int32_t>(i));
    }
    return;
  }
  // No encoding here yields more UTF-16 units than it has bytes; the slack
  // covers substitutes at a truncated end.
  const auto capacity = static_cast<std::int32_t>(bytes.size()) * 2 + 4;
  std::vector<UChar> units(static_cast<std::size_t>(capacity));
  std::vector<std::int32_t> unitOffsets(offsets ? units.size() : 0);
  UChar* target = units.data();
  const char* source = bytes.data();
  UErrorCode status = U_ZERO_ERROR;
  ucnv_toUnicode(c.get(), &target, units.data() + capacity, &source, bytes.data() + bytes.size(),
                 offsets ? unitOffsets.data() : nullptr, /*flush=*/true, &status);
  const auto produced = static_cast<std::int32_t>(target - units.data());
  out.append(units.data(), produced);
  if (!offsets) return;
  for (std::int32_t i = 0; i < produced; ++i) {
    const std::int32_t at = unitOffsets[static_cast<std::size_t>(i)];
    offsets->push_back(firstOffset + (at < 0 ? static_cast<std::int32_t>(bytes.size()) - 1 : at));
  }
}

void AppendAt(icu::UnicodeString& out, std::vector<std::int32_t>* offsets, std::u16string_view text,
              std::int32_t at) {
  out.append(text.data(), static_cast<std::int32_t>(text.size()));
  if (offsets) offsets->insert(offsets->end(), text.size(), at);
}

// Mac Japanese: Apple's table first, ICU's Shift_JIS for the runs between.
icu::UnicodeString DecodeMacJapanese(std::string_view bytes, std::vector<std::int32_t>* offsets) {
  icu::UnicodeString out;
  std::size_t runStart = 0;
  auto flushRun = [&](std::size_t end) {
    DecodeWithIcu("Shift_JIS", bytes.substr(runStart, end - runStart), static_cast<std::int32_t>(runStart), out,
                  offsets);
  };
  std::size_t i = 0;
  while (i < bytes.size()) {
    const auto byte = static_cast<unsigned char>(bytes[i]);
    const auto at = static_cast<std::int32_t>(i);
    if (const auto single = macjapanese::SingleByte(byte)) {
      flushRun(i);
      AppendAt(out, offsets, std::u16string_view(&*single, 1), at);
      runStart = ++i;
      continue;
    }
    if (!macjapanese::IsLeadByte(byte) || i + 1 >= bytes.size() ||
        !macjapanese::IsTrailByte(static_cast<unsigned char>(bytes[i + 1]))) {
      ++i;  // ASCII, half-width kana or a stray byte: ICU's to decide
      continue;
    }
    const auto code = static_cast<std::uint16_t>(byte << 8 | static_cast<unsigned char>(bytes[i + 1]));
    std::u16string_view apple = macjapanese::DoubleByte(code);
    char16_t single = 0;
    if (apple.empty()) {
      if (const auto user = macjapanese::UserAreaCharacter(code)) {
        single = *user;
      } else if (macjapanese::InAppleArea(code)) {
        single = 0xFFFD;
      }
      if (single != 0) apple = std::u16string_view(&single, 1);
    }
    if (!apple.empty()) {
      flushRun(i);
      AppendAt(out, offsets, apple, at);
      runStart = i + 2;
    }
    i += 2;
  }
  flushRun(bytes.size());
  return out;
}

icu::UnicodeString DecodeUTF16(std::string_view bytes, std::vector<std::int32_t>* offsets) {
  const char* name = "UTF-16BE";
  std::size_t skip = 0;
  if (bytes.size() >= 2) {
    const auto b0 = static_cast<unsigned char>(bytes[0]);
    const auto b1 = static_cast<unsigned char>(bytes[1]);
    if (b0 == 0xFE && b1 == 0xFF) skip = 2;
    if (b0 == 0xFF && b1 == 0xFE) {
      skip = 2;
      name = "UTF-16LE";
    }
  }
  icu::UnicodeString out;
  DecodeWithIcu(name, bytes.substr(skip), static_cast<std::int32_t>(skip), out, offsets);
  return out;
}

const char* IcuName(EncodingId encoding) {
  switch (encoding) {
    case EncodingId::UTF16: return "UTF-16BE";
    case EncodingId::ShiftJIS:
    case EncodingId::MacJapanese: return "Shift_JIS";
    case EncodingId::EUCJP: return "EUC-JP";
    case EncodingId::ISO2022JP: return "ISO-2022-JP";
    case EncodingId::UTF8:
    case EncodingId::None: break;
  }
  return "UTF-8";
}

std::string EncodeWithIcu(const icu::UnicodeString& text, EncodingId encoding) {
  UErrorCode status = U_ZERO_ERROR;
  Converter c(ucnv_open(IcuName(encoding), &status));
  if (U_FAILURE(status)) return {};
  ucnv_setFallback(c.get(), false);
  if (encoding != EncodingId::UTF8 && encoding != EncodingId::UTF16 && encoding != EncodingId::None)
    ucnv_setSubstChars(c.get(), "?", 1, &status);
  status = U_ZERO_ERROR;
  const int32_t needed = ucnv_fromUChars(c.get(), nullptr, 0, text.getBuffer(), text.length(), &status);
  std::string out(static_cast<std::size_t>(needed), '\0');
  status = U_ZERO_ERROR;
  ucnv_fromUChars(c.get(), out.data(), needed, text.getBuffer(), text.length(), &status);
  return out;
}

// ICU's Shift_JIS bytes for a short text, or nothing when ICU has no
// exact mapping for some character of it.
std::optional<std::string> IcuShiftJIS(UConverter* c, std::u16string_view text) {
  UErrorCode status = U_ZERO_ERROR;
  char buffer[32];
  ucnv_resetFromUnicode(c);
  const int32_t n = ucnv_fromUChars(c, buffer, sizeof buffer, text.data(), static_cast<int32_t>(text.size()),
                                    &status);
  if (U_FAILURE(status)) return std::nullopt;
  return std::string(buffer, static_cast<std::size_t>(n));
}

Converter OpenStrictShiftJISEncoder() {
  UErrorCode status = U_ZERO_ERROR;
  Converter c(ucnv_open("Shift_JIS", &status));
  if (U_FAILURE(status)) return nullptr;
  ucnv_setFallback(c.get(), false);
  ucnv_setFromUCallBack(c.get(), UCNV_FROM_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
  return c;
}

// ICU's bytes for text when Mac Japanese reads them back as that same text.
std::optional<std::string> SharedWithIcu(UConverter* c, std::u16string_view text) {
  auto bytes = IcuShiftJIS(c, text);
  if (!bytes) return std::nullopt;
  const icu::UnicodeString back = DecodeMacJapanese(*bytes, nullptr);
  if (std::u16string_view(back.getBuffer(), static_cast<std::size_t>(back.length())) != text) return std::nullopt;
  return bytes;
}

// The reverse of Apple's table: every reading that ICU's Shift_JIS would not
// encode to bytes Mac Japanese reads back as the same text. Readings that ICU
// encodes faithfully (the horizontal forms of vertical characters, the
// letters of "XIII") stay with ICU, so plain text never turns into Apple's
// symbols.
struct ReverseTable {
  std::unordered_map<std::u16string, std::uint16_t> codes;
  std::size_t longest = 1;
};

const ReverseTable& Reverse() {
  static const ReverseTable table = [] {
    ReverseTable t;
    Converter c = OpenStrictShiftJISEncoder();
    for (const macjapanese::Entry& e : macjapanese::Entries()) {
      const std::u16string text(e.text);
      if (t.codes.contains(text)) continue;
      if (c && SharedWithIcu(c.get(), text)) continue;
      t.codes.emplace(text, e.code);
      t.longest = std::max(t.longest, text.size());
    }
    return t;
  }();
  return table;
}

void AppendCode(std::string& out, std::uint16_t code) {
  if (code > 0xFF) out.push_back(static_cast<char>(code >> 8));
  out.push_back(static_cast<char>(code & 0xFF));
}

// Mac Japanese: the reverse table first, then ICU's Shift_JIS without
// fallbacks, keeping only bytes that Mac Japanese reads back as the same
// character (ICU's NEC and IBM extensions mean something else on the Mac).
std::string EncodeMacJapanese(const icu::UnicodeString& text) {
  const ReverseTable& reverse = Reverse();
  Converter icu = OpenStrictShiftJISEncoder();
  const std::u16string_view all(text.getBuffer(), static_cast<std::size_t>(text.length()));
  std::string out;
  std::size_t i = 0;
  while (i < all.size()) {
    const char16_t unit = all[i];
    if (unit < 0x80 && unit != u'\\') {
      out.push_back(static_cast<char>(unit));
      ++i;
      continue;
    }
    bool matched = false;
    for (std::size_t n = std::min(reverse.longest, all.size() - i); n >= 1 && !matched; --n) {
      const auto it = reverse.codes.find(std::u16string(all.substr(i, n)));
      if (it == reverse.codes.end()) continue;
      AppendCode(out, it->second);
      i += n;
      matched = true;
    }
    if (matched) continue;
    const UChar32 c = text.char32At(static_cast<int32_t>(i));
    const std::size_t width = U16_LENGTH(c);
    if (const auto code = macjapanese::UserAreaCode(static_cast<char32_t>(c))) {
      AppendCode(out, *code);
    } else if (const auto bytes = icu ? SharedWithIcu(icu.get(), all.substr(i, width)) : std::nullopt) {
      out += *bytes;
    } else {
      out.push_back('?');
    }
    i += width;
  }
  return out;
}

}  // namespace

bool IsStrictUTF8(std::string_view bytes) {
  UErrorCode status = U_ZERO_ERROR;
  int32_t length = 0;
  // A negative substitute makes ICU report the first ill-formed sequence.
  u_strFromUTF8WithSub(nullptr, 0, &length, bytes.data(), static_cast<int32_t>(bytes.size()), /*subchar=*/-1,
                       nullptr, &status);
  return status == U_BUFFER_OVERFLOW_ERROR || status == U_STRING_NOT_TERMINATED_WARNING || U_SUCCESS(status);
}

EncodingId ReadingEncoding(std::string_view bytes, EncodingId tag) {
  if (tag != EncodingId::None) return tag;
  return IsStrictUTF8(bytes) ? EncodingId::UTF8 : EncodingId::MacJapanese;
}

icu::UnicodeString Decode(std::string_view bytes, EncodingId encoding, std::vector<std::int32_t>* offsets) {
  if (offsets) offsets->clear();
  const EncodingId reading = ReadingEncoding(bytes, encoding);
  if (reading == EncodingId::MacJapanese) return DecodeMacJapanese(bytes, offsets);
  if (reading == EncodingId::UTF16) return DecodeUTF16(bytes, offsets);
  icu::UnicodeString out;
  DecodeWithIcu(IcuName(reading), bytes, 0, out, offsets);
  return out;
}

std::string Encode(const icu::UnicodeString& text, EncodingId encoding) {
  if (encoding == EncodingId::MacJapanese) return EncodeMacJapanese(text);
  return EncodeWithIcu(text, encoding);
}

}  // namespace detail

std::optional<TextEncoding> GetTextEncoding(unsigned platformValue) {
  switch (platformValue) {
    case 0x0001: return Encodings::MacJapanese;
    case 0x0100: return Encodings::UTF16;  // the platform's default Unicode form
    case 0x08000100: return Encodings::UTF8;
    case 0x0820: return TextEncoding(EncodingId::ISO2022JP);
    case 0x0920: return TextEncoding(EncodingId::EUCJP);
    case 0x0A01: return Encodings::ShiftJIS;
    default: return std::nullopt;
  }
}

String TextConverter::convert(const String& s) const {
  return String::FromBytes(ConvertBytes(s.Bytes(), from_.id(), to_.id()), to_.id());
}

std::optional<TextConverter> GetTextConverter(TextEncoding from, TextEncoding to) {
  return TextConverter(from, to);
}

std::string ConvertBytes(const std::string& bytes, EncodingId from, EncodingId to) {
  return detail::Encode(detail::Decode(bytes, from), to);
}

}  // namespace framework
