// A fresh temporary folder for one test, removed with everything in it when
// the object goes, and writers for the items tests build in it: folders,
// files, application bundles and Finder information.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

namespace framework {

class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::filesystem::path& Path() const { return root_; }
  std::filesystem::path operator/(const std::string& relative) const { return root_ / relative; }

  // Creates the folder and the ones above it; returns its path.
  std::filesystem::path MakeFolder(const std::string& relative) const;
  // Writes the bytes as they stand (creating the folders above); returns its
  // path.
  std::filesystem::path WriteFile(const std::string& relative, const std::string& bytes = "") const;
  // An application bundle "relative" (e.g. "Applications/Tool.app") with
  // Contents/PkgInfo holding code as it stands (no line end unless given)
  // and an empty Contents/MacOS; returns the bundle's path.
  std::filesystem::path MakeBundle(const std::string& relative, const std::string& code) const;

 private:
  std::filesystem::path root_;
};

// The Finder flag that hides an item.
inline constexpr std::uint16_t kFinderFlagInvisible = 0x4000;

// Gives an item a FinderInfo extended attribute as the Mac keeps it on this
// system ("user.com.apple.FinderInfo", 32 bytes): type at 0..3, creator at
// 4..7 (each padded with spaces when shorter), the Finder flags big-endian
// at 8..9. False when the file system refuses extended attributes.
bool WriteFinderInfo(const std::filesystem::path& item, const std::string& type, const std::string& creator,
                     std::uint16_t finderFlags = 0);

}  // namespace framework
