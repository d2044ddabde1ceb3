#include "framework/core/files/ColonPath.h"

#include <unicode/utf8.h>

#include <algorithm>
#include <system_error>

namespace framework::colonpath {
namespace {

std::string Swapped(std::string_view text, char from, char to) {
  std::string out(text);
  std::replace(out.begin(), out.end(), from, to);
  return out;
}

// Whole-component prefix test: "/media/usb" is a prefix of "/media/usb/x"
// but not of "/media/usb2".
bool ComponentPrefix(const std::filesystem::path& prefix, const std::filesystem::path& path,
                     std::filesystem::path* rest) {
  auto p = path.begin();
  for (auto q = prefix.begin(); q != prefix.end(); ++q, ++p) {
    if (q->empty()) continue;  // a trailing separator of the prefix
    if (p == path.end() || *p != *q) return false;
  }
  std::filesystem::path below;
  for (; p != path.end(); ++p) {
    if (!p->empty()) below /= *p;
  }
  *rest = below;
  return true;
}

}  // namespace

bool IsUTF8(std::string_view bytes) {
  const auto* s = reinterpret_cast<const std::uint8_t*>(bytes.data());
  const std::int32_t length = static_cast<std::int32_t>(bytes.size());
  std::int32_t i = 0;
  while (i < length) {
    UChar32 c;
    U8_NEXT(s, i, length, c);
    if (c < 0) return false;
  }
  return true;
}

std::string ComponentFromPosixName(std::string_view posixName) { return Swapped(posixName, ':', '/'); }

std::string PosixNameFromComponent(std::string_view component) { return Swapped(component, '/', ':'); }

std::string PosixBytes(const String& text) {
  if (text.EncodingTag() == EncodingId::UTF8 || text.EncodingTag() == EncodingId::None) return text.Bytes();
  return text.ToUTF8();
}

String TextFromPosixBytes(std::string bytes) {
  const EncodingId tag = IsUTF8(bytes) ? EncodingId::UTF8 : EncodingId::None;
  return String::FromBytes(std::move(bytes), tag);
}

std::filesystem::path Normalized(const std::filesystem::path& path) {
  std::error_code error;
  std::filesystem::path full = path.is_absolute() ? path : std::filesystem::absolute(path, error);
  if (error) full = std::filesystem::path("/") / path;
  full = full.lexically_normal();
  const std::string& text = full.native();
  if (text.size() > 1 && text.back() == '/') full = std::filesystem::path(text.substr(0, text.size() - 1));
  return full;
}

const VolumeEntry* VolumeFor(const std::filesystem::path& path, const FileSystemSetup& setup,
                             std::filesystem::path* rest) {
  const VolumeEntry* best = nullptr;
  std::size_t bestDepth = 0;
  for (const VolumeEntry& volume : setup.volumes) {
    std::filesystem::path below;
    if (!ComponentPrefix(volume.mountPoint, path, &below)) continue;
    const std::size_t depth = static_cast<std::size_t>(std::distance(volume.mountPoint.begin(), volume.mountPoint.end()));
    if (best && depth <= bestDepth) continue;
    best = &volume;
    bestDepth = depth;
    *rest = below;
  }
  return best;
}

std::string ColonPathOf(const std::filesystem::path& path, bool folder, const FileSystemSetup& setup) {
  std::filesystem::path below;
  std::string result;
  if (const VolumeEntry* volume = VolumeFor(path, setup, &below)) {
    result = volume->name;
    if (below.empty()) return result + ":";
  } else {
    below = path.relative_path();
  }
  bool first = result.empty();
  for (const auto& component : below) {
    if (!first) result += ':';
    result += ComponentFromPosixName(component.native());
    first = false;
  }
  if (folder) result += ':';
  return result;
}

std::optional<std::filesystem::path> PosixPathOf(const String& text, const FileSystemSetup& setup) {
  const std::string bytes = PosixBytes(text);
  if (bytes.empty()) return setup.baseFolder;

  std::vector<std::string> components;
  std::size_t start = 0;
  while (true) {
    const std::size_t colon = bytes.find(':', start);
    components.push_back(bytes.substr(start, colon == std::string::npos ? std::string::npos : colon - start));
    if (colon == std::string::npos) break;
    start = colon + 1;
  }
  // One trailing ":" marks a folder.
  if (components.size() > 1 && components.back().empty()) components.pop_back();

  std::filesystem::path result;
  std::size_t first = 0;
  if (bytes.find(':') == std::string::npos) {
    result = setup.baseFolder;
  } else {
    const String volumeName = TextFromPosixBytes(components.front());
    const auto volume = std::find_if(setup.volumes.begin(), setup.volumes.end(),
                                     [&](const VolumeEntry& v) { return String(v.name) == volumeName; });
    if (volume == setup.volumes.end()) return std::nullopt;
    result = volume->mountPoint;
    first = 1;
  }
  for (std::size_t i = first; i < components.size(); ++i) {
    const std::string name = PosixNameFromComponent(components[i]);
    if (name.empty() || name == "." || name == "..") return std::nullopt;
    result /= name;
  }
  return result;
}

}  // namespace framework::colonpath
