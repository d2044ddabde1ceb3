#include "framework/testing/TempFolder.h"

#include <sys/xattr.h>

#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <system_error>

namespace framework {

TempFolder::TempFolder() {
  std::string pattern = (std::filesystem::temp_directory_path() / "olvan-test-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr)
    throw std::system_error(errno, std::generic_category(), "cannot create a temporary folder");
  root_ = pattern;
}

TempFolder::~TempFolder() {
  std::error_code ignored;
  // Tests may have made items read-only; open them up so removal succeeds.
  for (auto it = std::filesystem::recursive_directory_iterator(
           root_, std::filesystem::directory_options::skip_permission_denied, ignored);
       it != std::filesystem::recursive_directory_iterator(); it.increment(ignored)) {
    if (it->is_directory(ignored) && !it->is_symlink(ignored))
      std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                   std::filesystem::perm_options::add, ignored);
  }
  std::filesystem::remove_all(root_, ignored);
}

std::filesystem::path TempFolder::MakeFolder(const std::string& relative) const {
  const std::filesystem::path path = root_ / relative;
  std::filesystem::create_directories(path);
  return path;
}

std::filesystem::path TempFolder::WriteFile(const std::string& relative, const std::string& bytes) const {
  const std::filesystem::path path = root_ / relative;
  std::filesystem::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
  if (!out) throw std::runtime_error("cannot write " + path.string());
  return path;
}

std::filesystem::path TempFolder::MakeBundle(const std::string& relative, const std::string& code) const {
  WriteFile(relative + "/Contents/PkgInfo", code);
  MakeFolder(relative + "/Contents/MacOS");
  return root_ / relative;
}

bool WriteFinderInfo(const std::filesystem::path& item, const std::string& type, const std::string& creator,
                     std::uint16_t finderFlags) {
  std::string info(32, '\0');
  auto code = [](const std::string& s) { return (s + "    ").substr(0, 4); };
  info.replace(0, 4, code(type));
  info.replace(4, 4, code(creator));
  info[8] = static_cast<char>(finderFlags >> 8);
  info[9] = static_cast<char>(finderFlags & 0xff);
  return lsetxattr(item.c_str(), "user.com.apple.FinderInfo", info.data(), info.size(), 0) == 0;
}

}  // namespace framework
