#include "framework/core/alias/AliasResolver.h"

#include <unicode/normalizer2.h>
#include <unicode/unistr.h>

#include <algorithm>
#include <filesystem>
#include <string>

namespace framework {
namespace {

// Parent ID values with a meaning of their own.
constexpr std::uint32_t kTargetIsVolume = 1;
constexpr std::uint32_t kInVolumeRoot = 2;

std::string MacJapaneseToUTF8(const std::string& bytes) {
  return String::FromBytes(bytes, EncodingId::MacJapanese).ToUTF8();
}

std::string ToNFC(const std::string& utf8) {
  UErrorCode status = U_ZERO_ERROR;
  const icu::Normalizer2* nfc = icu::Normalizer2::getNFCInstance(status);
  if (U_FAILURE(status)) return utf8;
  const icu::UnicodeString normal = nfc->normalize(icu::UnicodeString::fromUTF8(utf8), status);
  if (U_FAILURE(status)) return utf8;
  std::string out;
  normal.toUTF8String(out);
  return out;
}

std::string WithoutTrailingColon(std::string path) {
  if (!path.empty() && path.back() == ':') path.pop_back();
  return path;
}

// "/Volumes/Data/" and "/Volumes/Data" name one mount point.
std::filesystem::path WithoutTrailingSlash(const std::filesystem::path& path) {
  std::string text = path.lexically_normal().string();
  while (text.size() > 1 && text.back() == '/') text.pop_back();
  return text;
}

struct VolumeName {
  std::string name;  // UTF-8, NFC
  std::filesystem::path mountPoint;
};

std::vector<VolumeName> VolumeTable() {
  std::vector<VolumeName> table;
  const std::int32_t count = VolumeCount();
  for (std::int32_t i = 0; i < count; ++i) {
    const FolderItemPtr volume = Volume(i);
    if (!volume) continue;
    table.push_back({ToNFC(WithoutTrailingColon(volume->AbsolutePath().ToUTF8())), volume->PosixPath()});
  }
  return table;
}

// The volume the record lies on, named as this machine names it: a recorded
// name that the table knows, else the volume mounted where the record says
// (a mount point of "/" is always the start-up volume), else the recorded
// name as it stands, which will simply not resolve.
std::optional<std::string> RecordVolume(const AliasRecord& record, const std::vector<VolumeName>& table) {
  std::vector<std::string> names;
  if (record.unicodeVolumeName && !record.unicodeVolumeName->empty())
    names.push_back(ToNFC(*record.unicodeVolumeName));
  if (!record.volumeName.empty()) names.push_back(ToNFC(MacJapaneseToUTF8(record.volumeName)));

  for (const std::string& name : names)
    for (const VolumeName& volume : table)
      if (volume.name == name) return name;

  if (record.mountPoint && !record.mountPoint->empty()) {
    if (*record.mountPoint == "/" && !table.empty()) return table.front().name;
    const std::filesystem::path wanted = WithoutTrailingSlash(*record.mountPoint);
    for (const VolumeName& volume : table)
      if (WithoutTrailingSlash(volume.mountPoint) == wanted) return volume.name;
  }
  if (!names.empty()) return names.front();
  return std::nullopt;
}

// Tag 2: "Vol:dir:name" in the writing machine's script; "/" as the first
// component stands for the start-up disk.
std::optional<std::string> FromColonPathTag(const AliasRecord& record, const std::vector<VolumeName>& table) {
  if (!record.colonPath || record.colonPath->empty()) return std::nullopt;
  std::string path = MacJapaneseToUTF8(*record.colonPath);
  const std::size_t colon = path.find(':');
  const std::string first = path.substr(0, colon);
  if (first == "/" && !table.empty()) {
    path = table.front().name + (colon == std::string::npos ? std::string(":") : path.substr(colon));
  }
  return path;
}

// Tag 18: a POSIX path below the volume's mount point.
std::optional<std::string> FromPosixPathTag(const AliasRecord& record, const std::optional<std::string>& volume) {
  if (!volume || !record.posixPath) return std::nullopt;
  std::string path = *volume + ":";
  bool first = true;
  std::size_t start = 0;
  const std::string& posix = *record.posixPath;
  while (start <= posix.size()) {
    std::size_t slash = posix.find('/', start);
    if (slash == std::string::npos) slash = posix.size();
    std::string component = posix.substr(start, slash - start);
    start = slash + 1;
    if (component.empty() || component == ".") continue;
    std::replace(component.begin(), component.end(), ':', '/');
    if (!first) path += ":";
    path += component;
    first = false;
  }
  return path;
}

// Fixed-part names (or tag 14 for the file): volume, parent, file.
std::optional<std::string> FromNames(const AliasRecord& record, const std::optional<std::string>& volume) {
  if (!volume) return std::nullopt;
  if (record.parentDirID == kTargetIsVolume) return *volume + ":";
  std::string name;
  if (record.unicodeFileName && !record.unicodeFileName->empty())
    name = *record.unicodeFileName;
  else
    name = MacJapaneseToUTF8(record.fileName);
  if (name.empty()) return std::nullopt;
  if (record.parentDirID == kInVolumeRoot) return *volume + ":" + name;
  if (!record.parentName || record.parentName->empty()) return std::nullopt;
  return *volume + ":" + MacJapaneseToUTF8(*record.parentName) + ":" + name;
}

ResolvedAlias Describe(const FolderItemPtr& target) {
  ResolvedAlias resolved;
  resolved.target = target;
  resolved.path = target->AbsolutePath();
  const std::string stripped = WithoutTrailingColon(resolved.path.ToUTF8());
  const std::size_t colon = stripped.rfind(':');
  if (colon == std::string::npos) {
    resolved.name = stripped;  // a volume: no folder holds it
    return resolved;
  }
  resolved.parent = GetFolderItem(String(stripped.substr(0, colon + 1)));
  resolved.name = String(stripped.substr(colon + 1));
  return resolved;
}

}  // namespace

std::vector<String> AliasCandidatePaths(const AliasRecord& record) {
  const std::vector<VolumeName> table = VolumeTable();
  const std::optional<std::string> volume = RecordVolume(record, table);
  std::vector<String> candidates;
  for (const std::optional<std::string>& path :
       {FromColonPathTag(record, table), FromPosixPathTag(record, volume), FromNames(record, volume)}) {
    if (!path || path->empty()) continue;
    const String candidate(*path);
    if (std::find(candidates.begin(), candidates.end(), candidate) == candidates.end())
      candidates.push_back(candidate);
  }
  return candidates;
}

String OnStartupDisk(const String& path, const FolderItemPtr& startupDisk) {
  const FolderItemPtr own = Volume(0);
  if (!startupDisk || !own) return path;
  const std::string text = path.ToUTF8();
  const std::string ownPrefix = own->AbsolutePath().ToUTF8();  // "Name:"
  if (!text.starts_with(ownPrefix)) return path;
  // A disk that has gone is no volume and no folder any more: its path then
  // lacks the final ":", which the rest still needs in front of it, so that
  // the path leads beneath the disk (where nothing is found) and never
  // beside it.
  String disk = startupDisk->AbsolutePath();
  if (!disk.ToUTF8().ends_with(':')) disk = disk + String(":");
  return disk + String(text.substr(ownPrefix.size()));
}

std::optional<ResolvedAlias> ResolveAlias(const AliasRecord& record, const FolderItemPtr& startupDisk) {
  try {
    for (const String& candidate : AliasCandidatePaths(record)) {
      const std::string written = OnStartupDisk(candidate, startupDisk).ToUTF8();
      const std::string composed = ToNFC(written);
      std::vector<std::string> forms{composed};
      if (written != composed) forms.push_back(written);
      for (const std::string& form : forms) {
        const FolderItemPtr item = GetFolderItem(String(form));
        if (item && item->Exists()) return Describe(item);
      }
    }
  } catch (...) {
    // A path the file system rejects, or memory running out: not found.
  }
  return std::nullopt;
}

std::optional<ResolvedAlias> ResolveAlias(std::string_view recordBytes, const FolderItemPtr& startupDisk) {
  const std::optional<AliasRecord> record = ParseAliasRecord(recordBytes);
  if (!record) return std::nullopt;
  return ResolveAlias(*record, startupDisk);
}

}  // namespace framework
