// The decoder of the products' "pref2" strings.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>

#include "helpers/Enigma.h"
#include "support/EnigmaEncoder.h"

namespace {

using framework::EncodingId;
using framework::String;
using testsupport::EnigmaEncode;

String Bytes(std::string bytes) { return String::FromBytes(std::move(bytes), EncodingId::None); }

std::string Hex(const std::string& bytes) {
  static const char digits[] = "0123456789abcdef";
  std::string out;
  for (unsigned char b : bytes) {
    out.push_back(digits[b >> 4]);
    out.push_back(digits[b & 15]);
  }
  return out;
}

// Vectors worked out by hand from the alphabet and this program's seed
// table. They pin the table: files written with it must keep decoding.
TEST(EnigmaDecode, KnownVectors) {
  struct Row {
    const char* name;
    std::string cipher;
    const char* key;
    const char* hex;
  };
  const Row rows[] = {
      {"the products' key on a Japanese name", "Y1YUY34m", "kV", "8f9197de"},
      {"odd length pairs the last byte with position 62", "Zq4", "kV", "5ae2"},
      {"odd length with the empty key", "Zq4", "", "01b9"},
      {"a lone byte", "Z", "kV", "65"},
      {"bytes outside the alphabet take position 62", "!!", "kV", "19"},
      {"zero and high bytes outside the alphabet", std::string("\xff\x00", 2), "kV", "19"},
      {"values above 255 give their low 8 bits", "zz", "kV", "58"},
      {"two pairs above 255, the mask changing per byte", "AzAz", "", "c5c6"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const String plain = Enigma::Decode(Bytes(row.cipher), row.key);
    EXPECT_EQ(Hex(plain.Bytes()), row.hex);
    EXPECT_EQ(plain.EncodingTag(), EncodingId::None);
  }
}

TEST(EnigmaDecode, EmptyCipherGivesEmptyBytes) {
  const String plain = Enigma::Decode(Bytes(""), "kV");
  EXPECT_TRUE(plain.IsEmpty());
  EXPECT_EQ(plain.EncodingTag(), EncodingId::None);
}

TEST(EnigmaInitialize, SeedsOfKnownKeys) {
  struct Row {
    const char* key;
    std::int32_t seed;
  };
  // "A" shows the first byte serving twice: index 34 first, then addend 34.
  const Row rows[] = {{"", 1}, {"kV", 90}, {"A", 96}, {" ", 68}, {"~~", 44}, {"kVz", 2}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.key);
    EXPECT_EQ(Enigma::Initialize(row.key), row.seed);
  }
}

TEST(EnigmaInitialize, EveryKeyOfPrintableAsciiGivesASeedWithinTheTable) {
  for (int a = 32; a <= 126; ++a) {
    for (int b = 32; b <= 126; ++b) {
      const std::string key{static_cast<char>(a), static_cast<char>(b)};
      const std::int32_t seed = Enigma::Initialize(key);
      ASSERT_GE(seed, 0) << key;
      ASSERT_LE(seed, 100) << key;
    }
  }
}

TEST(EnigmaDecode, RoundTripsRandomBytesWithPrintableKeys) {
  std::mt19937 random(20240611);
  std::uniform_int_distribution<int> byte(0, 255);
  std::uniform_int_distribution<int> printable(32, 126);
  // Up to 1000 bytes: k stays below 1024 and the seed below 128, so every
  // masked value is below 62 * 62 and has its own pair of characters.
  const std::size_t lengths[] = {0, 1, 2, 255, 256, 257, 511, 1000};
  for (std::size_t length : lengths) {
    for (int keyLength = 0; keyLength <= 4; ++keyLength) {
      std::string plain;
      for (std::size_t i = 0; i < length; ++i) plain.push_back(static_cast<char>(byte(random)));
      std::string key;
      for (int i = 0; i < keyLength; ++i) key.push_back(static_cast<char>(printable(random)));
      SCOPED_TRACE("length " + std::to_string(length) + ", key \"" + key + "\"");
      const std::string cipher = EnigmaEncode(plain, key);
      ASSERT_EQ(cipher.size(), 2 * plain.size());
      EXPECT_EQ(Enigma::Decode(Bytes(cipher), key).Bytes(), plain);
    }
  }
}

// Random ciphers and keys of any bytes, stray and non-ASCII included: the
// decoder must give one byte per pair (rounded up) and nothing worse.
TEST(EnigmaDecode, SurvivesRandomBytes) {
  std::mt19937 random(7);
  std::uniform_int_distribution<int> byte(0, 255);
  std::uniform_int_distribution<std::size_t> cipherLength(0, 120);
  std::uniform_int_distribution<std::size_t> keyLength(0, 8);
  for (int round = 0; round < 2000; ++round) {
    std::string cipher(cipherLength(random), '\0');
    for (char& c : cipher) c = static_cast<char>(byte(random));
    std::string key(keyLength(random), '\0');
    for (char& c : key) c = static_cast<char>(byte(random));
    const String plain = Enigma::Decode(Bytes(cipher), Bytes(key));
    ASSERT_EQ(plain.Bytes().size(), (cipher.size() + 1) / 2) << "round " << round;
  }
}

}  // namespace
