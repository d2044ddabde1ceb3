// The framework's text: equality and joining across encodings.
#include <gtest/gtest.h>

#include "framework/core/text/String.h"

namespace framework {
namespace {

const std::string kMacShorui = "\x8F\x91\x97\xDE";  // 書類 in Mac Japanese

TEST(StringEquality, ComparesTextNotBytes) {
  const struct {
    const char* name;
    String a;
    String b;
    bool equal;
  } rows[] = {
      {"same text in two encodings", String::FromBytes(kMacShorui, EncodingId::MacJapanese), "書類", true},
      {"decomposed and composed kana", "か\u3099", "が", true},
      {"letter case counts", "APPLqZws", "applqzws", false},
      {"yen sign is not backslash", String::FromBytes("\x5C", EncodingId::MacJapanese), "\\", false},
      {"empty texts of different tags", String::FromBytes("", EncodingId::MacJapanese), "", true},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(row.a == row.b, row.equal);
    EXPECT_EQ(row.b == row.a, row.equal);
  }
}

TEST(StringJoin, DifferentEncodingsJoinAsUTF8) {
  const String path = "コピー中: ";
  const String mac = String::FromBytes(kMacShorui, EncodingId::MacJapanese);
  const String joined = path + mac;
  EXPECT_EQ(joined.EncodingTag(), EncodingId::UTF8);
  EXPECT_EQ(joined.Bytes(), "コピー中: 書類");

  // Joining with an empty text keeps the other side as it is.
  const String kept = mac + String();
  EXPECT_EQ(kept.EncodingTag(), EncodingId::MacJapanese);
  EXPECT_EQ(kept.Bytes(), kMacShorui);
}

TEST(StringToUTF8, ConvertsFromTagAndRepairsBadBytes) {
  EXPECT_EQ(String::FromBytes(kMacShorui, EncodingId::None).ToUTF8(), "書類");
  EXPECT_EQ(String::FromBytes("書類", EncodingId::None).ToUTF8(), "書類");
  EXPECT_EQ(String::FromBytes("a\xFF", EncodingId::UTF8).ToUTF8(), "a\uFFFD");
  EXPECT_EQ(DefineEncoding(String::FromBytes(kMacShorui, EncodingId::None), Encodings::MacJapanese).ToUTF8(),
            "書類");
}

}  // namespace
}  // namespace framework
