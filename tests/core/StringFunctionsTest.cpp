// The string functions the program calls, counting from 1: boundaries, empty
// fields, and texts whose characters take more than one byte.
#include <gtest/gtest.h>

#include "framework/core/text/StringFunctions.h"
#include "framework/core/text/TextConverter.h"

namespace framework {
namespace {

String Mac(const char* utf8) {
  return String::FromBytes(ConvertBytes(utf8, EncodingId::UTF8, EncodingId::MacJapanese), EncodingId::MacJapanese);
}

void ExpectText(const String& actual, const std::string& bytes, EncodingId tag) {
  EXPECT_EQ(actual.Bytes(), bytes);
  EXPECT_EQ(actual.EncodingTag(), tag);
}

TEST(CountFieldsTest, CountsEmptyFieldsToo) {
  const struct {
    const char* name;
    String s;
    String sep;
    std::int32_t count;
  } rows[] = {
      {"index list with its trailing separator", "0:3:", ":", 3},
      {"empty text", "", ":", 0},
      {"no separator in the text", "abc", ":", 1},
      {"empty separator", "abc", "", 1},
      {"adjacent separators", "a::b", ":", 3},
      {"separator alone", ":", ":", 2},
      {"separator of two characters", "a<>b<>c", "<>", 3},
      {"Japanese separator", "書類、写真、音楽", "、", 3},
      {"Mac Japanese text, UTF-8 separator", Mac("書類:写真"), ":", 2},
      // 0x5C is the second byte of ソ in Mac Japanese, not a separator.
      {"separator byte inside a double-byte character", Mac("ソフト"), "\\", 1},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(CountFields(row.s, row.sep), row.count);
  }
}

TEST(NthFieldTest, FieldsFromOneAndOutOfRange) {
  const struct {
    std::int32_t n;
    const char* field;
  } rows[] = {{1, "0"}, {2, "3"}, {3, ""}, {4, ""}, {0, ""}, {-1, ""}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.n);
    EXPECT_EQ(NthField("0:3:", ":", row.n).Bytes(), row.field);
  }
  EXPECT_EQ(NthField("abc", "", 1).Bytes(), "abc");
  EXPECT_EQ(NthField("abc", "", 2).Bytes(), "");
}

TEST(NthFieldTest, KeepsTheTextsEncoding) {
  ExpectText(NthField(Mac("書類:写真:"), ":", 2), "\x8E\xCA\x90\x5E", EncodingId::MacJapanese);
  ExpectText(NthField(Mac("書類:写真:"), ":", 3), "", EncodingId::MacJapanese);
}

TEST(InStrTest, PositionsInCharacters) {
  const struct {
    const char* name;
    std::int32_t start;
    String s;
    String find;
    std::int32_t position;
  } rows[] = {
      {"found at the end", 1, "abc", "c", 3},
      {"start skips an earlier match", 2, "abab", "ab", 3},
      {"start before 1 counts as 1", 0, "abc", "a", 1},
      {"start past the end", 4, "abc", "c", 0},
      {"absent", 1, "abc", "d", 0},
      {"case matters", 1, "ABC", "b", 0},
      {"empty find", 1, "abc", "", 0},
      {"Japanese counts characters, not bytes", 1, "移行アシスタント", "アシ", 3},
      {"start counts characters", 4, "書類書類", "書", 0},
      {"Mac Japanese text", 1, Mac("HD:書類:写真"), "写", 7},
      {"character outside the basic plane", 1, "😀書", "書", 2},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(InStr(row.start, row.s, row.find), row.position);
  }
}

TEST(MidTest, CharactersFromOne) {
  const struct {
    const char* name;
    String result;
    const char* text;
  } rows[] = {
      {"rest from 3", Mid("書類フォルダ", 3), "フォルダ"},
      {"two from 3", Mid("書類フォルダ", 3, 2), "フォ"},
      {"length past the end", Mid("書類", 2, 10), "類"},
      {"start past the end", Mid("書類", 3), ""},
      {"zero length", Mid("書類", 1, 0), ""},
      {"start 0 counts as 1", Mid("abc", 0, 2), "ab"},
      {"after a character outside the basic plane", Mid("😀書類", 2, 1), "書"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(row.result.Bytes(), row.text);
  }
}

TEST(MidTest, CutsTheOriginalBytes) {
  ExpectText(Mid(Mac("書類フォルダ"), 2, 1), "\x97\xDE", EncodingId::MacJapanese);
  ExpectText(Mid(String::FromBytes("\xBD\xF1\xCE\xE0", EncodingId::EUCJP), 2), "\xCE\xE0", EncodingId::EUCJP);
  // A cut of little-endian UTF-16 keeps its byte-order mark.
  ExpectText(Mid(String::FromBytes(std::string("\xFF\xFE\x42\x30\x44\x30", 6), EncodingId::UTF16), 2),
             std::string("\xFF\xFE\x44\x30", 4), EncodingId::UTF16);
  // ISO-2022-JP bytes cannot be cut without their shift state.
  ExpectText(Mid(String::FromBytes("\x1B$B=qN`\x1B(B", EncodingId::ISO2022JP), 2), "類", EncodingId::UTF8);
}

TEST(LenTest, CharactersAndBytes) {
  const struct {
    const char* name;
    String s;
    std::int32_t characters;
    std::int32_t bytes;
  } rows[] = {
      {"empty", "", 0, 0},
      {"UTF-8 Japanese", "書類", 2, 6},
      {"Mac Japanese", Mac("書類"), 2, 4},
      {"outside the basic plane", "😀", 1, 4},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(Len(row.s), row.characters);
    EXPECT_EQ(LenB(row.s), row.bytes);
  }
}

TEST(ByteFunctionsTest, CountBytesAndKeepTheTag) {
  const String mac = Mac("書類");
  ExpectText(LeftB(mac, 2), "\x8F\x91", EncodingId::MacJapanese);
  ExpectText(LeftB(mac, 10), "\x8F\x91\x97\xDE", EncodingId::MacJapanese);
  ExpectText(LeftB(mac, -1), "", EncodingId::MacJapanese);
  ExpectText(MidB(mac, 3), "\x97\xDE", EncodingId::MacJapanese);
  ExpectText(MidB(mac, 2, 2), "\x91\x97", EncodingId::MacJapanese);
  ExpectText(MidB(mac, 4, 10), "\xDE", EncodingId::MacJapanese);
  ExpectText(MidB(mac, 0, 1), "\x8F", EncodingId::MacJapanese);
  ExpectText(MidB(mac, 1, 0), "", EncodingId::MacJapanese);
  EXPECT_EQ(AscB(mac), 0x8F);
  EXPECT_EQ(AscB(""), 0);
  ExpectText(ChrB(0x8F), "\x8F", EncodingId::None);
  ExpectText(ChrB(0x141), "A", EncodingId::None);
}

TEST(StrTest, DecimalText) {
  const struct {
    double value;
    const char* text;
  } rows[] = {{12, "12"}, {-12, "-12"}, {0, "0"}, {-0.0, "0"}, {3.5, "3.5"}, {0.1, "0.1"},
              {1.0 / 3, "0.3333333"}, {1e15, "1e+15"}, {123456789012, "123456789012"}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.text);
    EXPECT_EQ(Str(row.value).Bytes(), row.text);
  }
  EXPECT_EQ(Str(std::int64_t{-9223372036854775807 - 1}).Bytes(), "-9223372036854775808");
  EXPECT_EQ(Str(std::int32_t{42}).Bytes(), "42");
}

TEST(ValTest, NumberAtTheStart) {
  const struct {
    const char* text;
    double value;
  } rows[] = {{"12", 12},  {"  -3.5abc", -3.5}, {"+7", 7},   {".5", 0.5}, {"abc", 0},
              {"", 0},     {"-", 0},            {"inf", 0}, {"nan", 0},  {"3:", 3},
              {"1.", 1},   {"007", 7},          {"\t9", 9}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.text);
    EXPECT_DOUBLE_EQ(Val(row.text), row.value);
  }
  EXPECT_DOUBLE_EQ(Val(NthField("12:3:", ":", 2)), 3);
}

}  // namespace
}  // namespace framework
