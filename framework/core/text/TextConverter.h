// Converters between the framework's encodings, on ICU.
//
// Mac Japanese is ICU's Shift_JIS with a small table of Apple's differences
// on top (MacJapaneseTable.cpp). A converter is a small value: the program
// makes one per call and drops it.
#pragma once

#include <optional>

#include "framework/core/text/String.h"

namespace framework {

// The platform's text-encoding values: 0x0820 is ISO-2022-JP and 0x0920 is
// EUC-JP (the two the program asks for); 0x0001 Mac Japanese, 0x0A01
// Shift_JIS, 0x0100 the platform's default Unicode form (UTF-16) and
// 0x08000100 UTF-8 are accepted too. Anything else gives nothing.
std::optional<TextEncoding> GetTextEncoding(unsigned platformValue);

class TextConverter {
 public:
  TextConverter(TextEncoding from, TextEncoding to) : from_(from), to_(to) {}
  // Converts s's bytes from the source encoding (whatever s's tag says) and
  // tags the result with the target encoding. Bytes invalid in the source
  // become the target's substitute character; this never throws and never
  // yields.
  String convert(const String& s) const;
  TextEncoding source() const { return from_; }
  TextEncoding target() const { return to_; }

 private:
  TextEncoding from_;
  TextEncoding to_;
};

// Always gives a converter for the encodings of this framework.
std::optional<TextConverter> GetTextConverter(TextEncoding from, TextEncoding to);

// Raw conversion: bytes in `from` to bytes in `to`. Bytes of unknown encoding
// are read as String::ToUTF8 reads them; a target of EncodingId::None gives
// UTF-8. A character the target cannot hold becomes "?" (U+FFFD in UTF-8 and
// UTF-16); UTF-16 is written big-endian without a byte-order mark.
std::string ConvertBytes(const std::string& bytes, EncodingId from, EncodingId to);

// Guesses the encoding of Japanese text: a byte-order mark, then ISO-2022-JP
// escapes, then strict UTF-8 with at least one multi-byte sequence, then a
// structural parse that accepts exactly one of Mac Japanese and EUC-JP, and
// ICU's detector only as a tie-breaker when it is confident. Pure ASCII and
// undecidable text give nothing.
std::optional<TextEncoding> GuessJapaneseEncoding(const String& s);

}  // namespace framework
