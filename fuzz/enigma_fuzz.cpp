// The decoder of the products' "pref2" strings, on any bytes.
//
// Input: one byte giving the key's length (0 to 7), the key, then the
// cipher. Checks that decoding gives one byte per pair, and that a plain
// string encoded with a printable key decodes back to itself.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "helpers/Enigma.h"

namespace {

using framework::EncodingId;
using framework::String;

// The products' encoder, here only to check the round trip.
std::string Encode(const std::string& plain, const String& key) {
  constexpr std::string_view alphabet = "Zq4Ym8Xk2Wf6Vb0Ur9Tn3Sd7Rh1Qj5PaOcNeMgLiKlJoIpHsGtFuEvDwCxByAz";
  const std::int32_t seed = Enigma::Initialize(key);
  std::string cipher;
  std::int32_t k = 0;
  for (unsigned char b : plain) {
    const std::int32_t c = b ^ (seed ^ ++k);
    cipher.push_back(alphabet[static_cast<std::size_t>(c / 62)]);
    cipher.push_back(alphabet[static_cast<std::size_t>(c % 62)]);
  }
  return cipher;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::size_t keyLength = data[0] % 8 < size - 1 ? data[0] % 8 : size - 1;
  const std::string key(reinterpret_cast<const char*>(data + 1), keyLength);
  const std::string rest(reinterpret_cast<const char*>(data + 1 + keyLength), size - 1 - keyLength);

  const String plain = Enigma::Decode(String::FromBytes(rest, EncodingId::None), String::FromBytes(key, EncodingId::None));
  if (plain.Bytes().size() != (rest.size() + 1) / 2) __builtin_trap();
  if (plain.EncodingTag() != EncodingId::None) __builtin_trap();

  // Round trip: the same key made printable (ASCII 32..126), and a plain
  // string short enough that every masked value has its own pair.
  std::string printable;
  for (unsigned char c : key) printable.push_back(static_cast<char>(32 + c % 95));
  const std::string original = rest.substr(0, 1000);
  const String printableKey(printable);
  const std::string cipher = Encode(original, printableKey);
  if (Enigma::Decode(String::FromBytes(cipher, EncodingId::None), printableKey).Bytes() != original) __builtin_trap();
  return 0;
}
