// Guessing the encoding of short Japanese text.
//
// ICU's charset detector alone is no help for the texts this program meets: it
// gives Shift_JIS and EUC-JP a confidence of at most 10 until a text holds
// more than ten double-byte characters, so a 20-byte path comes out as UTF-16
// or a Western code page. The evidence that decides short texts is
// structural; the detector only breaks a tie, and only when it is sure.
#include <memory>
#include <string_view>

#include <unicode/ucsdet.h>

#include "framework/core/text/MacJapaneseTable.h"
#include "framework/core/text/TextCodec.h"
#include "framework/core/text/TextConverter.h"

namespace framework {
namespace {

bool HasByteOrderMark(std::string_view b, std::optional<TextEncoding>& found) {
  if (b.starts_with("\xEF\xBB\xBF")) {
    found = Encodings::UTF8;
    return true;
  }
  if (b.starts_with("\xFE\xFF") || b.starts_with("\xFF\xFE")) {
    found = Encodings::UTF16;
    return true;
  }
  return false;
}

// Seven-bit text that switches character sets by escape sequences: ESC ( B,
// ESC ( J, ESC ( I, ESC $ @, ESC $ B, ESC $ ( D.
bool LooksLikeISO2022JP(std::string_view b) {
  bool escaped = false;
  for (std::size_t i = 0; i < b.size(); ++i) {
    if (static_cast<unsigned char>(b[i]) >= 0x80) return false;
    if (b[i] != '\x1B') continue;
    const std::string_view rest = b.substr(i + 1);
    if (rest.starts_with("(B") || rest.starts_with("(J") || rest.starts_with("(I") || rest.starts_with("$@") ||
        rest.starts_with("$B") || rest.starts_with("$(D"))
      escaped = true;
  }
  return escaped;
}

bool HasHighByte(std::string_view b) {
  for (char c : b)
    if (static_cast<unsigned char>(c) >= 0x80) return true;
  return false;
}

bool ReadsCleanly(std::string_view b, EncodingId encoding) {
  const icu::UnicodeString text = detail::Decode(b, encoding);
  for (int32_t i = 0; i < text.length(); ++i) {
    const UChar u = text.charAt(i);
    // An undecodable byte, or a character of the user-defined area: neither
    // belongs in the names and paths this program reads.
    if (u == 0xFFFD || (u >= 0xE000 && u <= 0xF8FF)) return false;
  }
  return true;
}

// Shift_JIS structure with at least one double-byte character. Text made of
// half-width katakana alone is not taken for Mac Japanese: such bytes are far
// more often EUC-JP kana and kanji, and Mac file names hardly use them.
bool ParsesAsMacJapanese(std::string_view b) {
  bool doubleByte = false;
  for (std::size_t i = 0; i < b.size(); ++i) {
    const auto c = static_cast<unsigned char>(b[i]);
    if (!macjapanese::IsLeadByte(c)) continue;
    if (i + 1 >= b.size() || !macjapanese::IsTrailByte(static_cast<unsigned char>(b[i + 1]))) return false;
    doubleByte = true;
    ++i;
  }
  return doubleByte && ReadsCleanly(b, EncodingId::MacJapanese);
}

// EUC-JP structure: pairs of 0xA1-0xFE, SS2 with a half-width katakana, SS3
// with a JIS X 0212 pair.
bool ParsesAsEUCJP(std::string_view b) {
  auto in = [&](std::size_t i, unsigned lo, unsigned hi) {
    if (i >= b.size()) return false;
    const auto c = static_cast<unsigned char>(b[i]);
    return c >= lo && c <= hi;
  };
  for (std::size_t i = 0; i < b.size();) {
    const auto c = static_cast<unsigned char>(b[i]);
    if (c < 0x80) {
      i += 1;
    } else if (c >= 0xA1 && c <= 0xFE && in(i + 1, 0xA1, 0xFE)) {
      i += 2;
    } else if (c == 0x8E && in(i + 1, 0xA1, 0xDF)) {
      i += 2;
    } else if (c == 0x8F && in(i + 1, 0xA1, 0xFE) && in(i + 2, 0xA1, 0xFE)) {
      i += 3;
    } else {
      return false;
    }
  }
  return ReadsCleanly(b, EncodingId::EUCJP);
}

struct DetectorCloser {
  void operator()(UCharsetDetector* d) const { ucsdet_close(d); }
};

// The detector's verdict between the two, when it is confident of one and
// rates it above the other.
std::optional<TextEncoding> DetectorTieBreak(std::string_view b) {
  constexpr int32_t kConfident = 50;
  UErrorCode status = U_ZERO_ERROR;
  std::unique_ptr<UCharsetDetector, DetectorCloser> detector(ucsdet_open(&status));
  if (U_FAILURE(status)) return std::nullopt;
  ucsdet_setText(detector.get(), b.data(), static_cast<int32_t>(b.size()), &status);
  int32_t count = 0;
  const UCharsetMatch** matches = ucsdet_detectAll(detector.get(), &count, &status);
  if (U_FAILURE(status)) return std::nullopt;
  int32_t shiftJIS = 0;
  int32_t eucJP = 0;
  for (int32_t i = 0; i < count; ++i) {
    UErrorCode s = U_ZERO_ERROR;
    const std::string_view name = ucsdet_getName(matches[i], &s);
    const int32_t confidence = ucsdet_getConfidence(matches[i], &s);
    if (U_FAILURE(s)) continue;
    if (name == "Shift_JIS") shiftJIS = std::max(shiftJIS, confidence);
    if (name == "EUC-JP") eucJP = std::max(eucJP, confidence);
  }
  if (shiftJIS >= kConfident && shiftJIS > eucJP) return Encodings::MacJapanese;
  if (eucJP >= kConfident && eucJP > shiftJIS) return TextEncoding(EncodingId::EUCJP);
  return std::nullopt;
}

}  // namespace

std::optional<TextEncoding> GuessJapaneseEncoding(const String& s) {
  const std::string_view b = s.Bytes();
  std::optional<TextEncoding> found;
  if (HasByteOrderMark(b, found)) return found;
  if (LooksLikeISO2022JP(b)) return TextEncoding(EncodingId::ISO2022JP);
  if (!HasHighByte(b)) return std::nullopt;  // ASCII fits every candidate
  if (detail::IsStrictUTF8(b)) return Encodings::UTF8;
  const bool mac = ParsesAsMacJapanese(b);
  const bool euc = ParsesAsEUCJP(b);
  if (mac && !euc) return Encodings::MacJapanese;
  if (euc && !mac) return TextEncoding(EncodingId::EUCJP);
  if (mac && euc) return DetectorTieBreak(b);
  return std::nullopt;
}

}  // namespace framework
