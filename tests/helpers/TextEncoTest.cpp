// The program's named encodings: the names it uses, the names it must not
// confuse them with, and the guess.
#include <gtest/gtest.h>

#include "framework/core/text/TextConverter.h"
#include "helpers/TextEnco.h"

namespace {

using framework::EncodingId;
using framework::String;

const std::string kMacPath = "HD:\x8F\x91\x97\xDE:\x88\xDA\x8D\x73\x83\x63\x81\x5B\x83\x8B\x83\x59";  // HD:書類:移行ツールズ
const std::string kEucPath = "HD:\xBD\xF1\xCE\xE0:\xB0\xDC\xB9\xD4\xA5\xC4\xA1\xBC\xA5\xEB\xA5\xBA";
const char* const kUtf8Path = "HD:書類:移行ツールズ";

String Bytes(const std::string& b, EncodingId tag = EncodingId::None) { return String::FromBytes(b, tag); }

void ExpectSame(const String& actual, const String& expected) {
  EXPECT_EQ(actual.Bytes(), expected.Bytes());
  EXPECT_EQ(actual.EncodingTag(), expected.EncodingTag());
}

TEST(gEncText, SameOrDefaultEncodingLeavesTextUntouched) {
  const String mac = Bytes(kMacPath);
  const struct {
    const char* name;
    const char* from;
    const char* to;
  } rows[] = {
      {"UTF-8 to UTF-8", "UTF-8", "UTF-8"},
      {"unknown name to the default", "Latin-1", "デフォルト"},
      {"default to UTF-8 (the system default is UTF-8)", "デフォルト", "UTF-8"},
      {"internet name as source means the default", "Shift_JIS", "UTF-8"},
      {"internet name as target means the default", "UTF-8", "Shift_JIS"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    ExpectSame(TextEnco::gEncText(mac, row.from, row.to), mac);
  }
}

TEST(gEncText, ShiftJISMeansMacJapanese) {
  const String utf8 = TextEnco::gEncText(Bytes(kMacPath), "Shift-JIS", "UTF-8");
  ExpectSame(utf8, kUtf8Path);

  // Apple's em dash and circled digit, where Windows' Shift_JIS reads a
  // horizontal bar and an unrelated NEC symbol.
  ExpectSame(TextEnco::gEncText(Bytes("\x81\x5C\x85\x40\x5C"), "Shift-JIS", "UTF-8"), "\u2014①¥");

  const String mac = TextEnco::gEncText("移行中: 書類①", "UTF-8", "Shift-JIS");
  ExpectSame(mac, Bytes("\x88\xDA\x8D\x73\x92\x86: \x8F\x91\x97\xDE\x85\x40", EncodingId::MacJapanese));
}

TEST(gEncText, JisAndEucByPlatformValues) {
  const String jis = TextEnco::gEncText("書類", "UTF-8", "JIS");
  ExpectSame(jis, Bytes("\x1B$B=qN`\x1B(B", EncodingId::ISO2022JP));
  ExpectSame(TextEnco::gEncText(jis, "JIS", "Shift-JIS"), Bytes("\x8F\x91\x97\xDE", EncodingId::MacJapanese));
  ExpectSame(TextEnco::gEncText(Bytes(kEucPath), "EUC", "UTF-8"), kUtf8Path);
  ExpectSame(TextEnco::gEncText(Bytes(std::string("\xFE\xFF\x66\xF8", 4)), "UTF-16", "UTF-8"), "書");
}

TEST(gEncText, AutoGuessesTheSource) {
  ExpectSame(TextEnco::gEncText(Bytes(kMacPath), "Auto", "UTF-8"), kUtf8Path);
  // EUC-JP is guessed, but the program has no name for it: "デフォルト".
  ExpectSame(TextEnco::gEncText(Bytes(kEucPath), "Auto", "UTF-8"), Bytes(kEucPath));
}

TEST(gEncTextGetEnc, ProgramNamesOfTheGuess) {
  const struct {
    const char* name;
    std::string bytes;
    const char* encoding;
  } rows[] = {
      {"Mac Japanese", kMacPath, "Shift-JIS"},
      {"UTF-8", kUtf8Path, "UTF-8"},
      {"UTF-16 with its mark", std::string("\xFE\xFF\x66\xF8", 4), "UTF-16"},
      {"EUC-JP has no program name", kEucPath, "デフォルト"},
      {"ISO-2022-JP has no program name", "\x1B$B=qN`\x1B(B", "デフォルト"},
      {"ASCII gives no guess", "Macintosh HD:", "デフォルト"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(TextEnco::gEncTextGetEnc(Bytes(row.bytes)).Bytes(), row.encoding);
  }
}

TEST(gEncUTF8alt, DefaultIsAnInternetName) {
  // Nothing is guessed for ASCII, so the default decides: as Mac Japanese,
  // the backslash byte is the yen sign.
  ExpectSame(TextEnco::gEncUTF8alt(Bytes("HD:a\\b"), "Shift_JIS"), "HD:a¥b");
  // The program's own name with a hyphen is no internet name: no conversion.
  ExpectSame(TextEnco::gEncUTF8alt(Bytes("HD:a\\b"), "Shift-JIS"), Bytes("HD:a\\b"));
  ExpectSame(TextEnco::gEncUTF8alt(Bytes("HD:a\\b"), "UTF-8"), Bytes("HD:a\\b"));
}

TEST(gEncUTF8alt, GuessWinsOverTheDefault) {
  ExpectSame(TextEnco::gEncUTF8alt(Bytes(kMacPath), "UTF-8"), kUtf8Path);
  const String utf8 = Bytes(kUtf8Path, EncodingId::None);
  ExpectSame(TextEnco::gEncUTF8alt(utf8, "Shift_JIS"), utf8);
  ExpectSame(TextEnco::gEncUTF8alt(Bytes(std::string("\xFF\xFE\xF8\x66", 4)), "Shift_JIS"), "書");
  // EUC-JP is neither Shift_JIS nor UTF-16: left as it is.
  ExpectSame(TextEnco::gEncUTF8alt(Bytes(kEucPath), "Shift_JIS"), Bytes(kEucPath));
}

TEST(gEncDefUTF8, RelabelsWithoutTouchingABytes) {
  const std::string bytes = kMacPath + std::string("\0\xFF", 2);
  ExpectSame(TextEnco::gEncDefUTF8(Bytes(bytes, EncodingId::MacJapanese)), Bytes(bytes, EncodingId::UTF8));
}

}  // namespace
