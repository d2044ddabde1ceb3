// Parsing the products' preference files: the entries of sound files, and
// nothing, without reading out of bounds, for damaged ones.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <limits>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "discovery/PrefFileReaders.h"
#include "framework/core/files/FolderItem.h"
#include "framework/testing/TempFolder.h"
#include "support/PrefFileWriter.h"

namespace {

using framework::EncodingId;
using testsupport::PrefFileWriter;

using Parse = std::optional<PrefFile::Entries> (*)(std::string_view);

struct FormatCase {
  const char* name;
  bool encoded;
  Parse parse;
};
const FormatCase kFormats[] = {{"pref2", true, PrefFile::ParsePref2}, {"pref", false, PrefFile::ParsePref}};

PrefFileWriter Writer(const FormatCase& format) {
  return format.encoded ? PrefFileWriter::Pref2() : PrefFileWriter::Pref();
}

std::vector<std::string> NumberedEntries(std::size_t count) {
  std::vector<std::string> entries;
  for (std::size_t i = 0; i < count; ++i) entries.push_back("v" + std::to_string(i));
  return entries;
}

TEST(PrefFileParse, GivesEveryEntryAsStoredOrDecoded) {
  // Longer than a short string could hold, encoded or not, with zero and
  // high bytes as alias records have them.
  std::string record(400, '\0');
  for (std::size_t i = 0; i < record.size(); ++i) record[i] = static_cast<char>(i * 7);
  const std::string documents = "Macintosh HD:Users:me:書類";
  for (const FormatCase& format : kFormats) {
    SCOPED_TRACE(format.name);
    // Bytes after the last entry are no concern of the readers.
    const std::string file = PrefFileWriter::File(format.encoded, record, "", documents) + "trailing";
    const std::optional<PrefFile::Entries> entries = format.parse(file);
    ASSERT_TRUE(entries);
    ASSERT_EQ(entries->size(), 21u);
    EXPECT_EQ((*entries)[0].Bytes(), "v0");
    EXPECT_EQ((*entries)[16].Bytes(), "v16");
    EXPECT_EQ((*entries)[17].Bytes(), record);
    EXPECT_TRUE((*entries)[18].IsEmpty());
    EXPECT_EQ((*entries)[19].Bytes(), documents);
    EXPECT_EQ((*entries)[20].Bytes(), "v20");
    for (const framework::String& entry : *entries) EXPECT_EQ(entry.EncodingTag(), EncodingId::None);
  }
}

TEST(PrefFileParse, EncodedCountsThatAreNoNumbersCountAsZeroAndFractionsAreCut) {
  PrefFileWriter file = PrefFileWriter::Pref2();
  file.Short("header").Short("none").Short("20.9");
  for (const std::string& entry : NumberedEntries(20)) {
    if (entry == "v17" || entry == "v18" || entry == "v19") {
      file.LongString(entry);
    } else {
      file.Short(entry);
    }
  }
  const std::optional<PrefFile::Entries> entries = PrefFile::ParsePref2(file.Bytes());
  ASSERT_TRUE(entries);
  EXPECT_EQ(entries->size(), 20u);
  EXPECT_EQ((*entries)[19].Bytes(), "v19");
}

TEST(PrefFileParse, RefusesDamagedFiles) {
  constexpr std::int32_t kHuge = std::numeric_limits<std::int32_t>::max();
  struct Row {
    const char* name;
    std::function<std::string(PrefFileWriter)> bytes;
  };
  const Row rows[] = {
      {"empty", [](PrefFileWriter w) { return w.Bytes(); }},
      {"header only", [](PrefFileWriter w) { return w.Short("header").Bytes(); }},
      {"fewer than 20 entries, so no documents folder",
       [](PrefFileWriter w) { return w.Entries(NumberedEntries(19)).Bytes(); }},
      {"negative value count", [](PrefFileWriter w) { return w.Short("h").Count(-1).Entries({}).Bytes(); }},
      {"negative entry count", [](PrefFileWriter w) { return w.Short("h").Count(0).Count(-25).Bytes(); }},
      {"huge value count", [=](PrefFileWriter w) { return w.Short("h").Count(kHuge).Short("1").Bytes(); }},
      {"huge entry count", [=](PrefFileWriter w) {
         return w.Short("h").Count(0).Count(kHuge).Raw(std::string(64, '\x01')).Bytes();
       }},
      {"count cut short", [](PrefFileWriter w) { return w.Short("h").Raw(std::string(2, '\0')).Bytes(); }},
      {"short string past the end", [](PrefFileWriter w) { return w.Short("h").Raw("\x7f" "ab").Bytes(); }},
      {"long string length past the end",
       [](PrefFileWriter w) {
         std::vector<std::string> entries = NumberedEntries(17);
         w.Short("h").Count(0).Count(20);
         for (const std::string& entry : entries) w.Short(entry);
         return w.Long(1000).Raw(std::string(10, 'Z')).Bytes();
       }},
      {"negative long string length",
       [](PrefFileWriter w) {
         w.Short("h").Count(0).Count(20);
         for (const std::string& entry : NumberedEntries(17)) w.Short(entry);
         return w.Long(-4).Raw(std::string(64, 'Z')).Bytes();
       }},
      {"cut inside entry 19", [](PrefFileWriter w) {
         const std::string whole = w.Entries(NumberedEntries(20)).Bytes();
         return whole.substr(0, whole.size() - 1);
       }},
  };
  for (const FormatCase& format : kFormats) {
    for (const Row& row : rows) {
      SCOPED_TRACE(std::string(format.name) + ": " + row.name);
      EXPECT_FALSE(format.parse(row.bytes(Writer(format))));
    }
  }
}

// Any bytes: either nothing, or at least 20 entries that together hold no
// more bytes than the file (decoding halves them), so nothing was read from
// outside it. Random files rarely get past the header, so sound files with a
// few bytes changed, cut or extended are fed as well.
TEST(PrefFileParse, SurvivesRandomAndMutatedBytes) {
  std::mt19937 random(20240612);
  std::uniform_int_distribution<int> byte(0, 255);
  for (const FormatCase& format : kFormats) {
    SCOPED_TRACE(format.name);
    const std::string sound = PrefFileWriter::File(format.encoded, std::string(40, '\0'), "x", "Macintosh HD:a");
    std::uniform_int_distribution<std::size_t> place(0, sound.size() - 1);
    int accepted = 0;
    for (int round = 0; round < 3000; ++round) {
      std::string bytes;
      if (round % 3 == 0) {
        bytes.resize(std::uniform_int_distribution<std::size_t>(0, 300)(random));
        for (char& c : bytes) c = static_cast<char>(byte(random));
      } else {
        bytes = sound;
        for (int changes = round % 5 + 1; changes > 0; --changes) bytes[place(random)] = static_cast<char>(byte(random));
        if (round % 7 == 0) bytes.resize(place(random));
        if (round % 11 == 0) bytes += std::string(place(random) % 64, static_cast<char>(byte(random)));
      }
      const std::optional<PrefFile::Entries> entries = format.parse(bytes);
      if (!entries) continue;
      ++accepted;
      ASSERT_GE(entries->size(), PrefFile::kEntriesNeeded) << "round " << round;
      std::size_t total = 0;
      for (const framework::String& entry : *entries) total += entry.Bytes().size();
      ASSERT_LE(total, bytes.size()) << "round " << round;
    }
    // Changes within the entries' text keep the file usable: the pass
    // reached the entries, not only the header.
    EXPECT_GT(accepted, 0);
  }
}

TEST(PrefFileRead, GivesNothingForAFolderAMissingFileOrAnOversizedFile) {
  framework::TempFolder tree;
  tree.MakeFolder("folder/pref2");
  const std::filesystem::path big = tree.WriteFile("big/pref2");
  std::filesystem::resize_file(big, PrefFile::kLargestFile + 1);
  const std::filesystem::path small = tree.WriteFile("small/pref2", std::string("a\0b", 3));

  EXPECT_FALSE(PrefFile::ReadWhole(framework::FolderItem::FromPosix(tree / "folder/pref2")));
  EXPECT_FALSE(PrefFile::ReadWhole(framework::FolderItem::FromPosix(tree / "missing/pref2")));
  EXPECT_FALSE(PrefFile::ReadWhole(framework::FolderItem::FromPosix(big)));
  EXPECT_EQ(PrefFile::ReadWhole(framework::FolderItem::FromPosix(small)), std::string("a\0b", 3));
}

}  // namespace
