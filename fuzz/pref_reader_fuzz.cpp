// The parse of Dornel's plain "pref" preference file, on any bytes: it
// either refuses the file or gives at least 20 entries holding no more bytes
// than the file, so it cannot have read outside the input.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "discovery/PrefFileReaders.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const auto entries = PrefFile::ParsePref(bytes);
  if (!entries) return 0;
  if (entries->size() < PrefFile::kEntriesNeeded) __builtin_trap();
  std::size_t total = 0;
  for (const framework::String& entry : *entries) {
    total += entry.Bytes().size();
    if (entry.EncodingTag() != framework::EncodingId::None) __builtin_trap();
  }
  if (total > size) __builtin_trap();
  return 0;
}
