// The framework's codecs between encoded bytes and Unicode, on ICU. Internal
// to the text layer: the program converts through TextConverter.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include <unicode/unistr.h>

#include "framework/core/text/String.h"

namespace framework::detail {

// True when bytes are well-formed UTF-8 (no overlong forms, surrogates or
// values past U+10FFFF).
bool IsStrictUTF8(std::string_view bytes);

// The encoding bytes of unknown encoding are read in: UTF-8 when they are
// well-formed UTF-8, else Mac Japanese. Any other tag stands as it is.
EncodingId ReadingEncoding(std::string_view bytes, EncodingId tag);

// Decodes bytes to UTF-16. Bytes that do not decode become U+FFFD. When
// offsets is given, it receives for every UTF-16 unit of the result the index
// of the byte its character began at.
icu::UnicodeString Decode(std::string_view bytes, EncodingId encoding, std::vector<std::int32_t>* offsets = nullptr);

// Encodes UTF-16 text. A character the target cannot hold becomes "?" (U+FFFD
// in UTF-8 and UTF-16). UTF-16 is written big-endian without a byte-order
// mark; EncodingId::None gives UTF-8.
std::string Encode(const icu::UnicodeString& text, EncodingId encoding);

}  // namespace framework::detail
