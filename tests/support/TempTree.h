// A fresh temporary folder for one test, removed afterwards, with small
// writers for the items the tests need.
#pragma once

#include <sys/xattr.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace testsupport {

class TempTree {
 public:
  TempTree() {
    std::string pattern = (std::filesystem::temp_directory_path() / "olvan-test-XXXXXX").string();
    char* made = mkdtemp(pattern.data());
    root_ = made ? std::filesystem::path(made) : std::filesystem::path();
  }
  ~TempTree() {
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
  }
  TempTree(const TempTree&) = delete;
  TempTree& operator=(const TempTree&) = delete;

  const std::filesystem::path& root() const { return root_; }
  std::filesystem::path operator/(const std::string& relative) const { return root_ / relative; }

  std::filesystem::path Folder(const std::string& relative) const {
    std::filesystem::create_directories(root_ / relative);
    return root_ / relative;
  }
  std::filesystem::path File(const std::string& relative, const std::string& content = "") const {
    const std::filesystem::path p = root_ / relative;
    std::filesystem::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary) << content;
    return p;
  }
  // An application bundle whose Contents/PkgInfo holds `code` as it stands.
  std::filesystem::path Bundle(const std::string& relative, const std::string& code) const {
    File(relative + "/Contents/PkgInfo", code);
    Folder(relative + "/Contents/MacOS");
    return root_ / relative;
  }
  // Gives a file the Mac type and creator through its FinderInfo attribute.
  static bool SetTypeCreator(const std::filesystem::path& p, const std::string& type,
                             const std::string& creator) {
    std::string info(32, '\0');
    info.replace(0, 4, type.substr(0, 4));
    info.replace(4, 4, creator.substr(0, 4));
    return setxattr(p.c_str(), "user.com.apple.FinderInfo", info.data(), info.size(), 0) == 0;
  }

 private:
  std::filesystem::path root_;
};

}  // namespace testsupport
