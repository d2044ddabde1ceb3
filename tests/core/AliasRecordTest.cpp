// Alias records: reading their bytes, and resolving them through the
// framework's volume table on real files.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "framework/core/alias/AliasRecord.h"
#include "framework/core/alias/AliasResolver.h"
#include "framework/core/files/FileSystemSetup.h"
#include "framework/core/files/FolderItem.h"
#include "support/AliasRecordWriter.h"
#include "support/TempTree.h"

namespace {

using framework::AliasRecord;
using framework::ParseAliasRecord;
using framework::ResolveAlias;
using testsupport::AliasRecordWriter;
using testsupport::TempTree;
using testsupport::WithNulsAfterColons;

// Mac Japanese bytes of the names the tests use.
const std::string kDataMJ = "\x83\x66\x81\x5b\x83\x5e";        // データ
const std::string kShoruiMJ = "\x8f\x91\x97\xde";               // 書類
const std::string kWaveMemoMJ = "\x81\x60" "\x83\x81\x83\x82";  // 〜メモ (Apple's 0x8160 is U+301C)
// "ドキュメント" decomposed, as HFS+ stores it.
const std::string kDocumentsNFD =
    "\xe3\x83\x88\xe3\x82\x99\xe3\x82\xad\xe3\x83\xa5\xe3\x83\xa1\xe3\x83\xb3\xe3\x83\x88";

TEST(AliasRecordParse, ReadsVersion2FixedPartAndTags) {
  const std::string bytes = AliasRecordWriter::Version2(AliasRecordWriter::kFolder)
                                .VolumeName("Old HD")
                                .FileName("Documents")
                                .ParentID(0x1234)
                                .TypeCreator("fold", "MACS")
                                .Tag(0, "me")
                                .Tag(1, std::string("\x00\x00\x12\x34\x00\x00\x00\x02", 8))
                                .Tag(2, WithNulsAfterColons("Old HD:Users:me:Documents"))
                                .UnicodeTag(14, u"Documents")
                                .UnicodeTag(15, u"Old HD")
                                .Tag(18, "/Users/me/Documents")
                                .Tag(19, "/")
                                .Tag(21, std::string("\x00\x01", 2))
                                .Bytes();
  const std::optional<AliasRecord> record = ParseAliasRecord(bytes);
  ASSERT_TRUE(record);
  EXPECT_EQ(record->version, 2);
  EXPECT_EQ(record->recordSize, bytes.size());
  EXPECT_TRUE(record->IsFolder());
  EXPECT_EQ(record->volumeName, "Old HD");
  EXPECT_EQ(record->fileName, "Documents");
  EXPECT_EQ(record->parentDirID, 0x1234u);
  EXPECT_EQ(record->fileType, "fold");
  EXPECT_EQ(record->creator, "MACS");
  EXPECT_EQ(record->parentName, "me");
  EXPECT_EQ(record->folderIDs, (std::vector<std::uint32_t>{0x1234, 2}));
  EXPECT_EQ(record->colonPath, "Old HD:Users:me:Documents") << "the NULs after the colons are dropped";
  EXPECT_EQ(record->unicodeFileName, "Documents");
  EXPECT_EQ(record->unicodeVolumeName, "Old HD");
  EXPECT_EQ(record->posixPath, "/Users/me/Documents");
  EXPECT_EQ(record->mountPoint, "/");
}

TEST(AliasRecordParse, ReadsVersion3TagsAfterItsShorterFixedPart) {
  const std::string bytes = AliasRecordWriter::Version3(AliasRecordWriter::kFile)
                                .ParentID(2)
                                .UnicodeTag(14, u"メモ.txt")
                                .UnicodeTag(15, u"データ")
                                .Tag(18, "/メモ.txt")
                                .Tag(19, "/Volumes/データ")
                                .Bytes();
  const std::optional<AliasRecord> record = ParseAliasRecord(bytes);
  ASSERT_TRUE(record);
  EXPECT_EQ(record->version, 3);
  EXPECT_EQ(record->kind, AliasRecord::Kind::File);
  EXPECT_EQ(record->parentDirID, 2u);
  EXPECT_TRUE(record->volumeName.empty());
  EXPECT_TRUE(record->fileName.empty());
  EXPECT_EQ(record->unicodeFileName, "メモ.txt");
  EXPECT_EQ(record->unicodeVolumeName, "データ");
  EXPECT_EQ(record->posixPath, "/メモ.txt");
  EXPECT_EQ(record->mountPoint, "/Volumes/データ");
}

TEST(AliasRecordParse, OddAndDamagedRecords) {
  const auto v2 = [] { return AliasRecordWriter::Version2(AliasRecordWriter::kFolder).VolumeName("V"); };
  std::string wrongVersion = v2().Bytes();
  wrongVersion[7] = 4;
  std::string longVolumeName = v2().Bytes();
  longVolumeName[10] = static_cast<char>(200);  // claims more than its 27 bytes
  const std::string cutTag = v2().Tag(0, "parent").Tag(18, "/abcdef").WithoutEndMarker().Bytes();

  struct Row {
    const char* name;
    std::string bytes;
    bool isRecord;
    std::function<void(const AliasRecord&)> check;
  };
  const Row rows[] = {
      {"empty", "", false, nullptr},
      {"shorter than any header", std::string("\0\0\0\0\0\x08\0", 7), false, nullptr},
      {"a version of no layout", wrongVersion, false, nullptr},
      {"version 2 shorter than its fixed part", v2().WithoutEndMarker().Bytes().substr(0, 149), false, nullptr},
      {"version 3 with its fixed part only",
       AliasRecordWriter::Version3(1).WithoutEndMarker().Bytes(), true,
       [](const AliasRecord& r) { EXPECT_FALSE(r.colonPath || r.posixPath || r.unicodeFileName); }},
      {"an odd length is followed by one pad byte", v2().Tag(0, "abc").Tag(2, "V:x").Bytes(), true,
       [](const AliasRecord& r) {
         EXPECT_EQ(r.parentName, "abc");
         EXPECT_EQ(r.colonPath, "V:x");
       }},
      {"a field cut short ends the list and keeps what came before", cutTag.substr(0, cutTag.size() - 3), true,
       [](const AliasRecord& r) {
         EXPECT_EQ(r.parentName, "parent");
         EXPECT_FALSE(r.posixPath);
       }},
      {"bytes past the record size are the application's own",
       v2().Tag(0, "p").WithoutEndMarker().Trailer(std::string("\x00\x12\x00\x02/x", 6)).Bytes(), true,
       [](const AliasRecord& r) {
         EXPECT_EQ(r.parentName, "p");
         EXPECT_FALSE(r.posixPath);
       }},
      {"a record size beyond the buffer reads what is there",
       v2().Tag(18, "/a").WithoutEndMarker().RecordSize(4000).Bytes(), true,
       [](const AliasRecord& r) { EXPECT_EQ(r.posixPath, "/a"); }},
      {"a record size below the fixed part reads to the end marker",
       v2().Tag(18, "/a").RecordSize(12).Bytes(), true,
       [](const AliasRecord& r) { EXPECT_EQ(r.posixPath, "/a"); }},
      {"the end marker ends the list",
       v2().Tag(-1, "").Tag(18, "/after").WithoutEndMarker().Bytes(), true,
       [](const AliasRecord& r) { EXPECT_FALSE(r.posixPath); }},
      {"a name's length byte cannot reach past its field", longVolumeName, true,
       [](const AliasRecord& r) { EXPECT_EQ(r.volumeName.size(), 27u); }},
      {"a Unicode count beyond its data is cut to the data",
       v2().Tag(14, std::string("\x00\x09\x00\x41\x00\x42", 6)).Bytes(), true,
       [](const AliasRecord& r) { EXPECT_EQ(r.unicodeFileName, "AB"); }},
      {"a lone surrogate becomes the replacement character",
       v2().Tag(15, std::string("\x00\x01\xd8\x00", 4)).Bytes(), true,
       [](const AliasRecord& r) { EXPECT_EQ(r.unicodeVolumeName, "\xef\xbf\xbd"); }},
      {"a kind other than file or folder", AliasRecordWriter::Version2(7).Bytes(), true,
       [](const AliasRecord& r) {
         EXPECT_EQ(r.kind, AliasRecord::Kind::Other);
         EXPECT_EQ(r.kindValue, 7);
       }},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const std::optional<AliasRecord> record = ParseAliasRecord(row.bytes);
    ASSERT_EQ(record.has_value(), row.isRecord);
    if (record && row.check) row.check(*record);
  }
}

// A fake machine: the start-up volume "Macintosh HD" and a second volume
// "データ", both folders of a temporary tree.
class AliasResolveTest : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = framework::CurrentFileSystemSetup();
    framework::FileSystemSetup setup = saved_;
    startup_ = tree_.Folder("startup");
    data_ = tree_.Folder("data");
    setup.volumes = {{"Macintosh HD", startup_}, {"データ", data_}};
    framework::SetFileSystemSetup(setup);
  }
  void TearDown() override { framework::SetFileSystemSetup(saved_); }

  std::optional<std::string> Resolved(const std::string& bytes) {
    const std::optional<framework::ResolvedAlias> resolved = ResolveAlias(bytes);
    if (!resolved) return std::nullopt;
    EXPECT_TRUE(resolved->target && resolved->target->Exists());
    return resolved->path.ToUTF8();
  }

  TempTree tree_;
  std::filesystem::path startup_;
  std::filesystem::path data_;

 private:
  framework::FileSystemSetup saved_;
};

TEST_F(AliasResolveTest, ColonPathOfTheStartupDiskNamesThisStartupVolume) {
  tree_.Folder("startup/Users/me/Documents");
  const std::string bytes = AliasRecordWriter::Version2(AliasRecordWriter::kFolder)
                                .VolumeName("Old HD")
                                .FileName("Documents")
                                .Tag(2, WithNulsAfterColons("/:Users:me:Documents"))
                                .Bytes();
  const std::optional<framework::ResolvedAlias> resolved = ResolveAlias(bytes);
  ASSERT_TRUE(resolved);
  EXPECT_EQ(resolved->path.ToUTF8(), "Macintosh HD:Users:me:Documents:");
  ASSERT_TRUE(resolved->parent);
  EXPECT_EQ(resolved->parent->AbsolutePath().ToUTF8(), "Macintosh HD:Users:me:");
  EXPECT_EQ(resolved->name.ToUTF8(), "Documents");
}

TEST_F(AliasResolveTest, EachSourceFindsItsTarget) {
  tree_.Folder("data/書類/〜メモ");
  tree_.File("data/書類/plan.txt", "x");
  tree_.Folder("data/Projects/a:b");
  tree_.Folder("data/ドキュメント");
  tree_.File("startup/Users/me/file.txt", "x");
  tree_.File("startup/top.txt", "x");
  tree_.Folder("startup/Copied/" + kDocumentsNFD);  // copied off a Mac disk as it was

  struct Row {
    const char* name;
    std::string bytes;
    std::string path;
  };
  const Row rows[] = {
      {"tag 2 in Mac Japanese, Apple's own wave dash included",
       AliasRecordWriter::Version2(AliasRecordWriter::kFolder)
           .Tag(2, kDataMJ + ":" + kShoruiMJ + ":" + kWaveMemoMJ)
           .Bytes(),
       "データ:書類:〜メモ:"},
      {"a file's path has no final colon",
       AliasRecordWriter::Version2(AliasRecordWriter::kFile).Tag(2, kDataMJ + ":" + kShoruiMJ + ":plan.txt").Bytes(),
       "データ:書類:plan.txt"},
      {"tag 18 below the volume named by tag 15; a ':' in a POSIX name is '/' in the colon path",
       AliasRecordWriter::Version3(AliasRecordWriter::kFolder)
           .UnicodeTag(15, u"\u30c6\u3099\u30fc\u30bf")  // データ decomposed
           .Tag(18, "/Projects/a:b")
           .Bytes(),
       "データ:Projects:a/b:"},
      {"decomposed names find the composed item",
       AliasRecordWriter::Version3(AliasRecordWriter::kFolder)
           .UnicodeTag(15, u"データ")
           .Tag(18, "/" + kDocumentsNFD)
           .Bytes(),
       "データ:ドキュメント:"},
      {"a decomposed name on disk is found as written",
       AliasRecordWriter::Version3(AliasRecordWriter::kFolder)
           .UnicodeTag(15, u"Macintosh HD")
           .Tag(18, "/Copied/" + kDocumentsNFD)
           .Bytes(),
       "Macintosh HD:Copied:" + kDocumentsNFD + ":"},
      {"mount point '/' is the start-up volume whatever its old name",
       AliasRecordWriter::Version3(AliasRecordWriter::kFile)
           .UnicodeTag(15, u"Old Mac HD")
           .Tag(18, "/Users/me/file.txt")
           .Tag(19, "/")
           .Bytes(),
       "Macintosh HD:Users:me:file.txt"},
      {"a mount point of this machine names its volume",
       AliasRecordWriter::Version3(AliasRecordWriter::kFolder)
           .UnicodeTag(15, u"Elsewhere")
           .Tag(18, "/ドキュメント")
           .Tag(19, data_.string() + "/")
           .Bytes(),
       "データ:ドキュメント:"},
      {"fixed-part names: parent folder and file",
       AliasRecordWriter::Version2(AliasRecordWriter::kFile)
           .VolumeName(kDataMJ)
           .FileName("plan.txt")
           .Tag(0, kShoruiMJ)
           .Bytes(),
       "データ:書類:plan.txt"},
      {"fixed-part names: parent ID 2 is the volume's root, whatever tag 0 says",
       AliasRecordWriter::Version2(AliasRecordWriter::kFile)
           .VolumeName("Macintosh HD")
           .FileName("top.txt")
           .ParentID(2)
           .Tag(0, "Macintosh HD")
           .Bytes(),
       "Macintosh HD:top.txt"},
      {"parent ID 1: the target is the volume",
       AliasRecordWriter::Version2(AliasRecordWriter::kFolder).VolumeName(kDataMJ).FileName(kDataMJ).ParentID(1).Bytes(),
       "データ:"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(Resolved(row.bytes), std::optional<std::string>(row.path));
  }
}

TEST_F(AliasResolveTest, BestSourceWinsAndAMissingOneFallsThrough) {
  tree_.Folder("startup/ByTag2");
  tree_.Folder("startup/ByTag18");
  tree_.Folder("startup/Parent/ByNames");
  const auto record = [](const std::string& tag2, const std::string& tag18) {
    return AliasRecordWriter::Version2(AliasRecordWriter::kFolder)
        .VolumeName("Macintosh HD")
        .FileName("ByNames")
        .Tag(0, "Parent")
        .Tag(2, tag2)
        .Tag(18, tag18)
        .Bytes();
  };

  const std::optional<AliasRecord> parsed = ParseAliasRecord(record("/:ByTag2", "/ByTag18"));
  ASSERT_TRUE(parsed);
  std::vector<std::string> candidates;
  for (const framework::String& c : framework::AliasCandidatePaths(*parsed)) candidates.push_back(c.ToUTF8());
  EXPECT_EQ(candidates, (std::vector<std::string>{"Macintosh HD:ByTag2", "Macintosh HD:ByTag18",
                                                  "Macintosh HD:Parent:ByNames"}));

  EXPECT_EQ(Resolved(record("/:ByTag2", "/ByTag18")), "Macintosh HD:ByTag2:");
  EXPECT_EQ(Resolved(record("/:Gone", "/ByTag18")), "Macintosh HD:ByTag18:");
  EXPECT_EQ(Resolved(record("/:Gone", "/Gone")), "Macintosh HD:Parent:ByNames:");
}

TEST_F(AliasResolveTest, MissingTargetsAreUnresolved) {
  tree_.Folder("startup/Users/me/Documents");
  const std::filesystem::path deleted = tree_.Folder("startup/Users/me/Old");
  const std::string oldFolder = AliasRecordWriter::Version2(AliasRecordWriter::kFolder)
                                    .VolumeName("Macintosh HD")
                                    .FileName("Old")
                                    .Tag(0, "me")
                                    .Tag(2, "Macintosh HD:Users:me:Old")
                                    .Tag(18, "/Users/me/Old")
                                    .Bytes();
  ASSERT_TRUE(Resolved(oldFolder));
  std::filesystem::remove(deleted);

  struct Row {
    const char* name;
    std::string bytes;
  };
  const Row rows[] = {
      {"target deleted", oldFolder},
      {"volume unknown here", AliasRecordWriter::Version2(AliasRecordWriter::kFolder)
                                  .VolumeName("Gone HD")
                                  .FileName("Documents")
                                  .ParentID(2)
                                  .Tag(2, "Gone HD:Documents")
                                  .Bytes()},
      {"tag 18 that climbs out of its volume",
       AliasRecordWriter::Version3(AliasRecordWriter::kFolder).UnicodeTag(15, u"データ").Tag(18, "/../startup").Bytes()},
      {"a record that carries no names", AliasRecordWriter::Version3(AliasRecordWriter::kFolder).Bytes()},
      {"no alias record at all", "Macintosh HD:Users:me:Documents"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(Resolved(row.bytes), std::nullopt);
  }
}

// Random bytes, and valid records with random bytes changed, through the
// reader and the resolver: nothing may crash, read out of bounds or throw.
TEST_F(AliasResolveTest, SurvivesRandomBytes) {
  tree_.Folder("startup/Users/me/Documents");
  const std::string seeds[] = {
      AliasRecordWriter::Version2(AliasRecordWriter::kFolder)
          .VolumeName("Macintosh HD")
          .FileName("Documents")
          .Tag(0, "me")
          .Tag(2, WithNulsAfterColons("/:Users:me:Documents"))
          .UnicodeTag(14, u"Documents")
          .UnicodeTag(15, u"Macintosh HD")
          .Tag(18, "/Users/me/Documents")
          .Tag(19, "/")
          .Bytes(),
      AliasRecordWriter::Version3(AliasRecordWriter::kFile).UnicodeTag(15, u"データ").Tag(18, "/x").Bytes(),
  };
  std::mt19937 random(1904);
  std::uniform_int_distribution<int> byte(0, 255);
  for (int round = 0; round < 4000; ++round) {
    std::string bytes;
    if (round % 2 == 0) {
      bytes.resize(std::uniform_int_distribution<std::size_t>(0, 400)(random));
      for (char& c : bytes) c = static_cast<char>(byte(random));
      // Every other random buffer claims version 2 or 3, to reach the fields.
      if (round % 4 == 0 && bytes.size() >= 8) {
        bytes[6] = 0;
        bytes[7] = static_cast<char>(2 + round % 8 / 4);
      }
    } else {
      bytes = seeds[round % 4 / 2];
      const int changes = 1 + round % 7;
      for (int i = 0; i < changes; ++i)
        bytes[std::uniform_int_distribution<std::size_t>(0, bytes.size() - 1)(random)] =
            static_cast<char>(byte(random));
      bytes.resize(std::uniform_int_distribution<std::size_t>(0, bytes.size())(random));
    }
    const std::optional<AliasRecord> record = ParseAliasRecord(bytes);
    if (record) {
      ASSERT_TRUE(record->version == 2 || record->version == 3) << "round " << round;
      const std::optional<framework::ResolvedAlias> resolved = ResolveAlias(*record);
      if (resolved) {
        ASSERT_TRUE(resolved->target->Exists()) << "round " << round;
      }
    }
  }
}

}  // namespace
