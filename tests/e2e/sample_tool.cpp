// Builds the parts of a sample old machine that a shell script cannot write
// by itself, and answers what the wizard's framework will see on this
// machine, so the end-to-end runs click and compare against the same view:
//
//   sample_tool pref2 <file> <entry 17> <entry 18> <entry 19>
//       writes a "pref2" preference file as the maker's products do: every
//       string encoded with the products' key, the three locations 17 to 19
//       as long strings (the empty text records nothing)
//   sample_tool colon-path <posix path>
//       prints the item's colon path as the framework gives it
//   sample_tool volumes
//       prints "<number>\t<name>\t<mount point>" for every volume
//
// Only the test side encodes (tests/support): the encoder takes the seed from
// the program's own key schedule, so a file written here is one the program
// must be able to read.
#include <cstdint>
#include <fstream>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "framework/core/files/FolderItem.h"
#include "support/PrefFileWriter.h"

namespace {

int WritePref2(const std::string& file, const std::string& entry17, const std::string& entry18,
               const std::string& entry19) {
  std::ofstream stream(file, std::ios::binary | std::ios::trunc);
  stream << testsupport::PrefFileWriter::File(/*encoded=*/true, entry17, entry18, entry19);
  stream.close();
  if (!stream) {
    std::cerr << "sample_tool: cannot write " << file << "\n";
    return 1;
  }
  return 0;
}

int Usage() {
  std::cerr << "usage: sample_tool pref2 <file> <entry17> <entry18> <entry19>\n"
               "       sample_tool colon-path <posix path>\n"
               "       sample_tool volumes\n";
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (args.size() == 5 && args[0] == "pref2") return WritePref2(args[1], args[2], args[3], args[4]);
  if (args.size() == 2 && args[0] == "colon-path") {
    std::cout << framework::FolderItem::FromPosix(args[1])->AbsolutePath().ToUTF8() << "\n";
    return 0;
  }
  if (args.size() == 1 && args[0] == "volumes") {
    const std::int32_t count = framework::VolumeCount();
    for (std::int32_t i = 0; i < count; ++i) {
      const framework::FolderItemPtr volume = framework::Volume(i);
      if (!volume) continue;
      std::cout << i << "\t" << volume->Name().ToUTF8() << "\t" << volume->PosixPath().string() << "\n";
    }
    return 0;
  }
  return Usage();
}
