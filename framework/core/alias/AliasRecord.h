// Classic alias records ('alis' data), read from their bytes.
//
// No Alias Manager exists on this platform, so the framework reads the record
// itself: the fixed part of version 2 or version 3 and the tagged fields that
// follow it (all big-endian). The reader is written for bytes from files that
// other programs wrote: it accepts any input, checks every offset against the
// buffer, never reads past it and never throws.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace framework {

struct AliasRecord {
  enum class Kind { File, Folder, Other };

  std::uint16_t version = 0;  // 2 or 3
  // The record size from the header; the fields are read up to the smaller
  // of it and the buffer's length (bytes past it may be an application's own).
  std::uint16_t recordSize = 0;
  Kind kind = Kind::Other;
  std::uint16_t kindValue = 0;  // as stored: 0 file, 1 folder

  // Version 2 fixed part. The names are the record's bytes, in the writing
  // machine's script (Mac Japanese for the program's files); empty in
  // version 3, which carries no names there.
  std::string volumeName;
  std::string fileName;
  // 2: the target lies in the volume's root; 1: the target is the volume.
  std::uint32_t parentDirID = 0xFFFFFFFFu;
  std::uint32_t fileNumber = 0;
  std::string fileType;  // four bytes (version 2 only)
  std::string creator;   // four bytes (version 2 only)

  // Tagged fields, when present.
  std::optional<std::string> parentName;  // tag 0, script bytes
  std::vector<std::uint32_t> folderIDs;   // tag 1, from the parent towards the root
  // Tag 2: the colon path "Vol:dir:...:name" in script bytes, with the NUL
  // bytes that newer systems put after each colon dropped. May begin "/:".
  std::optional<std::string> colonPath;
  std::optional<std::string> unicodeFileName;    // tag 14, converted to UTF-8
  std::optional<std::string> unicodeVolumeName;  // tag 15, converted to UTF-8
  std::optional<std::string> posixPath;          // tag 18, relative to the mount point, UTF-8
  std::optional<std::string> mountPoint;         // tag 19, UTF-8

  bool IsFolder() const { return kind == Kind::Folder; }
};

// Reads an alias record. Nothing for bytes that are not one: shorter than the
// version's fixed part, or a version other than 2 or 3. A tagged field that
// runs past the readable bytes ends the list; the fields before it are kept.
std::optional<AliasRecord> ParseAliasRecord(std::string_view bytes);

}  // namespace framework
