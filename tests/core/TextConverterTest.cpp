// Conversions between the framework's encodings, Mac Japanese above all: the
// program reads paths from alias records and preference files in it.
#include <gtest/gtest.h>

#include "framework/core/text/String.h"
#include "framework/core/text/TextConverter.h"

namespace framework {
namespace {

String Bytes(std::string bytes, EncodingId encoding) { return String::FromBytes(std::move(bytes), encoding); }

std::string Decoded(const std::string& bytes, EncodingId from) { return ConvertBytes(bytes, from, EncodingId::UTF8); }
std::string Encoded(const std::string& utf8, EncodingId to) { return ConvertBytes(utf8, EncodingId::UTF8, to); }

struct RoundTrip {
  const char* name;
  std::string mac;
  std::string utf8;
};

// Every kind of code where Apple parts from ICU's Shift_JIS must read as
// Apple's character and encode back to the same bytes.
TEST(MacJapanese, AppleCodesRoundTrip) {
  const RoundTrip rows[] = {
      {"yen sign at 0x5C", "\x5C", "¥"},
      {"backslash at 0x80", "\x80", "\\"},
      {"no-break space", "\xA0", "\u00A0"},
      {"copyright", "\xFD", "©"},
      {"trade mark", "\xFE", "™"},
      {"em dash, not horizontal bar", "\x81\x5C", "\u2014"},
      {"wave dash, not fullwidth tilde", "\x81\x60", "\u301C"},
      {"double vertical line", "\x81\x61", "\u2016"},
      {"minus sign", "\x81\x7C", "\u2212"},
      {"cent", "\x81\x91", "\u00A2"},
      {"pound", "\x81\x92", "\u00A3"},
      {"not sign", "\x81\xCA", "\u00AC"},
      {"circled one", "\x85\x40", "①"},
      {"negative circled nine (after the 0x7F gap)", "\x85\x85", "❾"},
      {"roman numeral one", "\x85\x9F", "Ⅰ"},
      {"numero sign", "\x86\x9B", "№"},
      {"black right arrow", "\x86\xD3", "➡"},
      {"parenthesised sun ideograph", "\x87\x40", "㈰"},
      {"circled big, a sequence", "\x87\x91", "大\u20DD"},
      {"square milli", "\x87\x9F", "㍉"},
      {"contour integral", "\x88\x40", "∮"},
      {"vertical two-dot leader form", "\xEB\x51", "\uFE33"},
      {"user-defined code after the 0x7F gap", "\xF0\x80", "\uE03F"},
      {"last user-defined code", "\xFC\xFC", "\uE98B"},
      {"a path with Apple symbols", "HD:\x8F\x91\x97\xDE\x85\x40:\x5C", "HD:書類①:¥"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(Decoded(row.mac, EncodingId::MacJapanese), row.utf8);
    EXPECT_EQ(Encoded(row.utf8, EncodingId::MacJapanese), row.mac);
  }
}

// Apple's readings that ICU's Shift_JIS already encodes faithfully stay with
// ICU when encoding, so ordinary text never turns into Apple's vertical forms
// or its one-character "XIII".
TEST(MacJapanese, DecodeOnlyReadingsEncodeAsOrdinaryText) {
  const struct {
    const char* name;
    std::string mac;
    std::string utf8;
    std::string encoded;
  } rows[] = {
      {"half-width ellipsis", "\xFF", "…", "\x81\x63"},
      {"vertical ideographic comma", "\xEB\x41", "、", "\x81\x41"},
      {"vertical small tsu", "\xEC\xC1", "っ", "\x82\xC1"},
      {"roman thirteen", "\x85\xAB", "XIII", "XIII"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(Decoded(row.mac, EncodingId::MacJapanese), row.utf8);
    EXPECT_EQ(Encoded(row.utf8, EncodingId::MacJapanese), row.encoded);
  }
}

TEST(MacJapanese, DiffersFromIcuShiftJISWhereAppleDoes) {
  EXPECT_EQ(Decoded("\x81\x5C", EncodingId::ShiftJIS), "\u2015");
  EXPECT_EQ(Decoded("\x81\x5C", EncodingId::MacJapanese), "\u2014");
  EXPECT_EQ(Decoded("\x5C", EncodingId::ShiftJIS), "\\");
  EXPECT_EQ(Decoded("\x5C", EncodingId::MacJapanese), "¥");
  // NEC row 13 in ICU, Apple's parenthesised ideographs on the Mac.
  EXPECT_EQ(Decoded("\x87\x40", EncodingId::ShiftJIS), "①");
  EXPECT_EQ(Decoded("\x87\x40", EncodingId::MacJapanese), "㈰");
  EXPECT_EQ(Encoded("①", EncodingId::ShiftJIS), "\x87\x40");
  EXPECT_EQ(Encoded("①", EncodingId::MacJapanese), "\x85\x40");
  // IBM extension kanji in ICU, the private use area on the Mac.
  EXPECT_EQ(Decoded("\xFB\xFC", EncodingId::ShiftJIS), "髙");
  EXPECT_EQ(Decoded("\xFB\xFC", EncodingId::MacJapanese), "\uE8CF");
}

TEST(MacJapanese, CharactersItLacksBecomeQuestionMarks) {
  // ICU would write IBM's 0xFBFC, which a Mac reads as a private character.
  EXPECT_EQ(Encoded("髙橋", EncodingId::MacJapanese), "?\x8B\xB4");
  EXPECT_EQ(Encoded("a😀b", EncodingId::MacJapanese), "a?b");
}

TEST(MacJapanese, UndecodableBytesBecomeReplacementCharacters) {
  const struct {
    const char* name;
    std::string mac;
    std::string utf8;
  } rows[] = {
      {"lead byte at the end", "a\x81", "a\uFFFD"},
      {"lead byte before a space", "\x81 b", "\uFFFD b"},
      {"undefined code in Apple's symbol rows", "\x85\x54", "\uFFFD"},
      {"NEC-selected IBM kanji that Apple lacks", "\xED\xA0", "\uFFFD"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(Decoded(row.mac, EncodingId::MacJapanese), row.utf8);
  }
}

TEST(Encodings, JapaneseTextRoundTripsInEveryEncoding) {
  const std::string text = "HD:書類:移行ツールズ①";
  for (EncodingId id : {EncodingId::UTF8, EncodingId::UTF16, EncodingId::MacJapanese, EncodingId::ShiftJIS,
                        EncodingId::EUCJP, EncodingId::ISO2022JP}) {
    SCOPED_TRACE(static_cast<int>(id));
    EXPECT_EQ(Decoded(Encoded(text, id), id), text);
  }
}

TEST(Encodings, KnownBytesOfEachEncoding) {
  EXPECT_EQ(Encoded("書類", EncodingId::EUCJP), "\xBD\xF1\xCE\xE0");
  EXPECT_EQ(Encoded("書類", EncodingId::ISO2022JP), "\x1B$B=qN`\x1B(B");
  EXPECT_EQ(Encoded("あ", EncodingId::UTF16), std::string("\x30\x42", 2));
}

TEST(Encodings, UTF16HonoursByteOrderMarkAndDefaultsToBigEndian) {
  EXPECT_EQ(Decoded(std::string("\xFE\xFF\x30\x42", 4), EncodingId::UTF16), "あ");
  EXPECT_EQ(Decoded(std::string("\xFF\xFE\x42\x30", 4), EncodingId::UTF16), "あ");
  EXPECT_EQ(Decoded(std::string("\x30\x42", 2), EncodingId::UTF16), "あ");
  EXPECT_EQ(Decoded(std::string("\x30\x42\x00", 3), EncodingId::UTF16), "あ\uFFFD");
}

TEST(Encodings, InvalidBytesNeverThrow) {
  EXPECT_EQ(Decoded("a\xC3", EncodingId::UTF8), "a\uFFFD");
  EXPECT_EQ(Decoded("\xA4", EncodingId::EUCJP), "\uFFFD");
  EXPECT_EQ(Decoded("\x80\xA0\xFD", EncodingId::ShiftJIS), "\uFFFD\uFFFD\uFFFD");
  EXPECT_EQ(Encoded("€", EncodingId::EUCJP), "?");
}

TEST(TextConverterTest, ConvertsFromItsSourceWhateverTheTagSays) {
  const auto converter = GetTextConverter(Encodings::MacJapanese, Encodings::UTF8);
  ASSERT_TRUE(converter.has_value());
  const String out = converter->convert(Bytes("\x8F\x91\x97\xDE", EncodingId::UTF8));
  EXPECT_EQ(out.Bytes(), "書類");
  EXPECT_EQ(out.EncodingTag(), EncodingId::UTF8);

  const auto toJis = GetTextConverter(Encodings::UTF8, *GetTextEncoding(0x0820));
  EXPECT_EQ(toJis->convert("書類").EncodingTag(), EncodingId::ISO2022JP);
}

TEST(TextConverterTest, PlatformEncodingValues) {
  EXPECT_EQ(GetTextEncoding(0x0820), TextEncoding(EncodingId::ISO2022JP));
  EXPECT_EQ(GetTextEncoding(0x0920), TextEncoding(EncodingId::EUCJP));
  EXPECT_EQ(GetTextEncoding(0x0001), Encodings::MacJapanese);
  EXPECT_EQ(GetTextEncoding(0x0A01), Encodings::ShiftJIS);
  EXPECT_FALSE(GetTextEncoding(0x0600).has_value());
  EXPECT_EQ(GetTextEncoding(0x0820)->internetName(), "ISO-2022-JP");
  EXPECT_EQ(GetTextEncoding(0x0920)->internetName(), "EUC-JP");
}

}  // namespace
}  // namespace framework
