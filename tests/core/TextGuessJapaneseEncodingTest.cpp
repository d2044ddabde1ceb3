// Guessing the encoding of short Japanese texts such as a path from an alias
// record, where ICU's detector alone has too little to go on.
#include <gtest/gtest.h>

#include "framework/core/text/String.h"
#include "framework/core/text/TextConverter.h"

namespace framework {
namespace {

std::optional<EncodingId> GuessOf(const std::string& bytes) {
  const auto guess = GuessJapaneseEncoding(String::FromBytes(bytes, EncodingId::None));
  if (!guess) return std::nullopt;
  return guess->id();
}

TEST(GuessJapaneseEncodingTest, ShortPathsInEachEncoding) {
  const char* texts[] = {
      "HD:書類:移行ツールズ",  // 20 bytes in Mac Japanese
      "書類", "写真", "初期設定", "移行アシスタント", "アプリケーション",
      "Macintosh HD:Users:山田:Library:Preferences:",
  };
  for (const char* text : texts) {
    for (EncodingId id : {EncodingId::MacJapanese, EncodingId::EUCJP, EncodingId::UTF8, EncodingId::ISO2022JP}) {
      SCOPED_TRACE(std::string(text) + " in encoding " + std::to_string(static_cast<int>(id)));
      EXPECT_EQ(GuessOf(ConvertBytes(text, EncodingId::UTF8, id)), id);
    }
  }
}

TEST(GuessJapaneseEncodingTest, EvidenceOtherThanStructure) {
  const struct {
    const char* name;
    std::string bytes;
    std::optional<EncodingId> guess;
  } rows[] = {
      {"UTF-8 byte-order mark before ASCII", "\xEF\xBB\xBF" "abc", EncodingId::UTF8},
      {"UTF-16 big-endian mark", std::string("\xFE\xFF\x00\x61", 4), EncodingId::UTF16},
      {"UTF-16 little-endian mark", std::string("\xFF\xFE\x61\x00", 4), EncodingId::UTF16},
      {"ISO-2022-JP escapes", "\x1B$B=qN`\x1B(B", EncodingId::ISO2022JP},
      {"pure ASCII", "Macintosh HD:Applications:", std::nullopt},
      {"empty text", "", std::nullopt},
      {"a lead byte with no trail", "\x81 ", std::nullopt},
      {"user-defined area only", "\xF0\x40", std::nullopt},
      // Half-width katakana alone would be Mac Japanese too, but such bytes
      // are EUC-JP kanji far more often.
      {"EUC-JP that also parses as half-width kana", "\xBC\xCC\xBF\xBF", EncodingId::EUCJP},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(GuessOf(row.bytes), row.guess);
  }
}

}  // namespace
}  // namespace framework
