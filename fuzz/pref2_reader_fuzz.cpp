// The parse of Toskarine's and Kavreline's encoded "pref2" preference files,
// on any bytes: it either refuses the file or gives at least 20 entries, and
// never more entry bytes than the file holds (decoding halves them), so it
// cannot have read outside the input.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "discovery/PrefFileReaders.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const auto entries = PrefFile::ParsePref2(bytes);
  if (!entries) return 0;
  if (entries->size() < PrefFile::kEntriesNeeded) __builtin_trap();
  std::size_t total = 0;
  for (const framework::String& entry : *entries) total += entry.Bytes().size();
  if (2 * total > size) __builtin_trap();
  return 0;
}
