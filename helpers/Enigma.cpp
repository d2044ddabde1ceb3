#include "helpers/Enigma.h"

#include <array>
#include <string>
#include <string_view>

#include "framework/core/text/StringFunctions.h"
#include "framework/core/threads/Baton.h"

namespace Enigma {
namespace {

constexpr std::string_view kAlphabet = "Zq4Ym8Xk2Wf6Vb0Ur9Tn3Sd7Rh1Qj5PaOcNeMgLiKlJoIpHsGtFuEvDwCxByAz";
static_assert(kAlphabet.size() == 62);

// Where a byte outside the alphabet lands: one past the last character.
constexpr std::int32_t kNotInAlphabet = 62;

constexpr std::size_t kSeedTableSize = 101;

// The seed table's constants: a permutation of 0 to 100. Files written by an
// encoder with another permutation decode to other bytes, so this table and
// the encoder that wrote a file must agree.
constexpr std::array<std::int32_t, kSeedTableSize> kSeedConstants = {
    75, 67, 53, 29, 17, 45, 26,  41, 77, 15, 63, 95, 27, 85, 72, 58, 49, 4,  69, 8,  68,
    66, 83, 79, 0,  50, 76, 32,  43, 96, 40, 23, 36, 37, 62, 35, 82, 61, 73, 6,  91, 34,
    30, 59, 55, 92, 100, 52, 22, 14, 46, 57, 47, 71, 19, 42, 80, 98, 70, 20, 16, 97, 5,
    3,  51, 38, 81, 9,  90,  18, 33, 13, 65, 11, 99, 44, 60, 89, 7,  48, 25, 10, 21, 94,
    74, 2,  87, 39, 28, 78,  12, 86, 88, 1,  54, 31, 56, 24, 84, 64, 93,
};

constexpr bool IsPermutationOfIndexes(const std::array<std::int32_t, kSeedTableSize>& table) {
  std::array<bool, kSeedTableSize> seen{};
  for (std::int32_t v : table) {
    if (v < 0 || v >= static_cast<std::int32_t>(kSeedTableSize) || seen[v]) return false;
    seen[v] = true;
  }
  return true;
}
static_assert(IsPermutationOfIndexes(kSeedConstants), "the seed table must be a permutation of 0..100");

// A key of ASCII 32..126 keeps every index within the table. Any other key
// byte would index outside it; such indexes wrap around instead of reading
// past the table, so no input can make the decoder misbehave.
std::size_t TableIndex(std::int32_t s) {
  const std::int32_t n = static_cast<std::int32_t>(kSeedTableSize);
  return static_cast<std::size_t>(((s % n) + n) % n);
}

// Position of byte `code` in the alphabet, compared one character at a time
// from the start; kNotInAlphabet when none matches.
std::int32_t AlphabetPosition(std::int32_t code) {
  for (std::int32_t position = 0; position < static_cast<std::int32_t>(kAlphabet.size()); ++position) {
    const bool equal = static_cast<unsigned char>(kAlphabet[position]) == code;
    framework::Yield();
    if (equal) return position;
  }
  return kNotInAlphabet;
}

}  // namespace

std::int32_t Initialize(const framework::String& key) {
  // Built here on every call, as the decoder always has; it is never kept.
  std::array<std::int32_t, kSeedTableSize> table{};
  for (std::size_t i = 0; i < kSeedTableSize; ++i) table[i] = kSeedConstants[i];

  const std::string& bytes = key.Bytes();
  if (bytes.empty()) return 1;

  // The loop runs over the key's characters but reads its bytes; for the
  // ASCII keys in use the two counts agree. Never read past the bytes.
  std::int32_t count = framework::Len(key);
  if (count > static_cast<std::int32_t>(bytes.size())) count = static_cast<std::int32_t>(bytes.size());

  std::int32_t s = static_cast<unsigned char>(bytes[0]) - 31;
  for (std::int32_t i = 1; i <= count; ++i) {
    const std::int32_t a = static_cast<unsigned char>(bytes[static_cast<std::size_t>(i - 1)]) - 31;
    s = a + table[TableIndex(s)];
    if (s > 100) s -= 101;
    framework::Yield();
  }
  return s;
}

framework::String Decode(const framework::String& cipher, const framework::String& key) {
  const std::int32_t seed = Initialize(key);
  std::int32_t k = 0;
  std::string out;
  const std::string& bytes = cipher.Bytes();
  out.reserve(bytes.size() / 2 + 1);

  for (std::size_t i = 0; i < bytes.size(); i += 2) {
    const std::int32_t p1 = AlphabetPosition(static_cast<unsigned char>(bytes[i]));
    // The odd last byte has no partner; code 0 is not in the alphabet, so the
    // search ends at position 62 as for any stray byte.
    const std::int32_t second = i + 1 < bytes.size() ? static_cast<unsigned char>(bytes[i + 1]) : 0;
    const std::int32_t p2 = AlphabetPosition(second);
    ++k;
    const std::int32_t value = (62 * p1 + p2) ^ (seed ^ k);
    // Values above 255 come only from ciphers the encoder never writes;
    // such a pair gives the value's low 8 bits.
    out.push_back(static_cast<char>(static_cast<unsigned char>(value & 0xFF)));
    framework::Yield();
  }
  return framework::String::FromBytes(std::move(out), framework::EncodingId::None);
}

}  // namespace Enigma
