// The encoder the maker's products use for the strings of their "pref2"
// files, written here only to build fixtures: the program itself never
// encodes. The k-th plain byte b (k from 1) becomes c = b XOR (seed XOR k),
// written as the alphabet's characters at c div 62 and c mod 62. Plain
// strings up to 1000 bytes keep every c below 62 * 62, so each has a pair.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "framework/core/text/String.h"
#include "helpers/Enigma.h"

namespace testsupport {

inline std::string EnigmaEncode(const std::string& plain, const framework::String& key) {
  constexpr std::string_view alphabet = "Zq4Ym8Xk2Wf6Vb0Ur9Tn3Sd7Rh1Qj5PaOcNeMgLiKlJoIpHsGtFuEvDwCxByAz";
  const std::int32_t seed = Enigma::Initialize(key);
  std::string cipher;
  std::int32_t k = 0;
  for (unsigned char b : plain) {
    const std::int32_t c = b ^ (seed ^ ++k);
    cipher.push_back(alphabet.at(static_cast<std::size_t>(c / 62)));
    cipher.push_back(alphabet.at(static_cast<std::size_t>(c % 62)));
  }
  return cipher;
}

}  // namespace testsupport
