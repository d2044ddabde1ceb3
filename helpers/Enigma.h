// The module Enigma: decoder of the strings that the maker's applications
// write into their "pref2" preference files.
//
// Each plain byte is masked with a value that depends on a key and on the
// byte's place, and written as two characters of a fixed 62-character
// alphabet. The program only reads such files, so only decoding lives here.
#pragma once

#include <cstdint>

#include "framework/core/text/String.h"

namespace Enigma {

// Decodes cipher with key; one output byte per pair of cipher bytes. A byte
// outside the alphabet, and the missing partner of an odd last byte, count as
// position 62. A pair whose unmasked value exceeds 255 gives its low 8 bits.
// The result is bytes with no encoding (the caller labels it). Yields at every
// alphabet comparison and after every output byte.
framework::String Decode(const framework::String& cipher, const framework::String& key);

// The seed for key: 1 for the empty key, else a value from 0 to 100 for keys
// of ASCII characters 32 to 126. Builds the seed table afresh on each call.
// Yields after every step.
std::int32_t Initialize(const framework::String& key);

}  // namespace Enigma
