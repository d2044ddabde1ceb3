// The two preference-file formats in which three of the maker's products
// record, among other things, the folder that holds the user's documents.
// Only parsing lives here: bytes in, entries out, no dialogs and no item
// table, so any bytes can be fed to it. Thread2 (Thread2DocFolders.cpp)
// finds the files, labels the entries, resolves the stored locations and
// records the documents folder.
//
// Both formats are a sequence of fields with no padding:
//   short string   one length byte N, then N bytes;
//   32-bit integer signed, big-endian (the binary stream's default byte
//                  order, as on the classic Mac; the products never set
//                  another);
//   long string    a 32-bit integer L, then L bytes.
//
// "pref2" (Toskarine, Kavreline): every string is encoded (Enigma, key "kV"):
//   header         short string, encoded; not used
//   value count    short string, encoded decimal number
//   values         that many short strings, encoded decimal numbers; not used
//   entry count    short string, encoded decimal number
//   entries        entries 17, 18 and 19 long strings (their L bytes are
//                  encoded, L itself is not), all others short strings
// "pref" (Dornel): the same fields unencoded, with both counts as 32-bit
// integers.
//
// Entries 17, 18 and 19 hold stored locations (path texts or alias records);
// entry 19 is the documents folder.
//
// The files come from other programs and may be damaged or hostile, so the
// parse trusts nothing it reads: a count is checked against the bytes left
// before anything is sized by it, and a file is refused (nothing comes back)
// when
//   - a field runs past the end of the bytes (a length past the end, a cut
//     off count or entry);
//   - a count is negative, or larger than the bytes left could hold (every
//     field takes at least one byte);
//   - it holds fewer than 20 entries, so no documents folder is recorded.
// A number stored as text that is not a number counts as 0; one with a
// fraction is cut to its integral part. Bytes after the last entry are
// ignored.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "framework/core/files/FolderItem.h"
#include "framework/core/text/String.h"

namespace PrefFile {

// The entries of one file, indexed from 0, each exactly as stored (for
// "pref2": as decoded), tagged EncodingId::None; the reader labels them.
using Entries = std::vector<framework::String>;

// Entry numbers of the stored locations.
inline constexpr std::size_t kFirstLocationEntry = 17;
inline constexpr std::size_t kDocumentsEntry = 19;
// A usable file records the documents folder, so it holds at least this many.
inline constexpr std::size_t kEntriesNeeded = kDocumentsEntry + 1;

// The products' preference files are a few kilobytes. A larger file is not
// one of them and is not read: every byte of a file can be one empty entry,
// and each entry costs far more memory than the byte it came from.
inline constexpr std::int64_t kLargestFile = 1024 * 1024;

// The key every "pref2" string is encoded with.
inline constexpr const char* kPref2Key = "kV";

// The entries of a "pref2" file, or nothing for a file that cannot be used
// (above). Yields after every field read.
std::optional<Entries> ParsePref2(std::string_view bytes);
// The entries of a "pref" file, or nothing likewise.
std::optional<Entries> ParsePref(std::string_view bytes);

// The whole content of the file, or nothing when it is missing, cannot be
// opened (a folder, no permission) or is larger than kLargestFile.
std::optional<std::string> ReadWhole(const framework::FolderItemPtr& file);

}  // namespace PrefFile
