// Location resolution: stored path texts and alias records to colon paths,
// with the message and the new choice when a record's target is gone.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "framework/core/files/FileSystemSetup.h"
#include "framework/core/files/FolderItem.h"
#include "framework/testing/FileSystemSetupGuard.h"
#include "framework/testing/ScriptedUser.h"
#include "helpers/AliasPath.h"
#include "helpers/AliasPathEx.h"
#include "helpers/DecrareEtc.h"
#include "support/AliasRecordWriter.h"
#include "support/TempTree.h"

namespace {

using framework::EncodingId;
using framework::FolderItem;
using framework::FolderItemPtr;
using framework::ScriptedUser;
using framework::String;
using testsupport::AliasRecordWriter;
using testsupport::TempTree;
using testsupport::WithNulsAfterColons;

const std::string kDataMJ = "\x83\x66\x81\x5b\x83\x5e";        // データ
const std::string kShoruiMJ = "\x8f\x91\x97\xde";               // 書類
const std::string kWaveMemoMJ = "\x81\x60" "\x83\x81\x83\x82";  // 〜メモ

// The preference readers label what they read as UTF-8 without converting.
String Stored(const std::string& bytes) { return String::FromBytes(bytes, EncodingId::UTF8); }

// A fake machine: start-up volume "Macintosh HD", second volume "データ".
class AliasPathTest : public ::testing::Test {
 protected:
  static framework::FileSystemSetup FakeMachine(const TempTree& tree) {
    framework::FileSystemSetup setup = framework::CurrentFileSystemSetup();
    setup.volumes = {{"Macintosh HD", tree.Folder("startup")}, {"データ", tree.Folder("data")}};
    return setup;
  }

  TempTree tree_;
  framework::FileSystemSetupGuard machine_{FakeMachine(tree_)};
};

TEST_F(AliasPathTest, EmptyTextAndPathTextsComeBackUnchanged) {
  tree_.Folder("startup/Users/me/Documents");
  const char* rows[] = {
      "",
      "Macintosh HD:Users:me:Documents:",
      "Macintosh HD:Users:me:Documents",  // an existing folder gets no ":" here
      "Macintosh HD:Users:me:Missing",
      "データ:書類:",
  };
  ScriptedUser user;  // with no answers: any chooser would fail the test
  for (const char* row : rows) {
    SCOPED_TRACE(row);
    const String result = AliasPath::gAbsPath_dc(Stored(row), /*wantFile=*/false);
    EXPECT_EQ(result.Bytes(), row);
    EXPECT_EQ(result.EncodingTag(), EncodingId::UTF8);
  }
  EXPECT_TRUE(user.Transcript().empty());
}

TEST_F(AliasPathTest, RecordsOfExistingItemsGiveTheirFullPathInUTF8) {
  tree_.Folder("startup/Users/me/Documents");
  tree_.File("startup/Users/me/Documents/letter.txt", "x");
  tree_.Folder("data/書類/〜メモ");
  tree_.Folder("data/Projects");

  struct Row {
    const char* name;
    std::string record;
    const char* path;
  };
  const Row rows[] = {
      {"a folder on the start-up volume ends in ':'",
       AliasRecordWriter::Version2(AliasRecordWriter::kFolder)
           .VolumeName("Old HD")
           .FileName("Documents")
           .Tag(2, WithNulsAfterColons("/:Users:me:Documents"))
           .Bytes(),
       "Macintosh HD:Users:me:Documents:"},
      {"a file does not",
       AliasRecordWriter::Version2(AliasRecordWriter::kFile)
           .VolumeName("Old HD")
           .FileName("letter.txt")
           .Tag(2, WithNulsAfterColons("/:Users:me:Documents:letter.txt"))
           .Bytes(),
       "Macintosh HD:Users:me:Documents:letter.txt"},
      {"Japanese names in Mac Japanese",
       AliasRecordWriter::Version2(AliasRecordWriter::kFolder)
           .VolumeName(kDataMJ)
           .FileName(kWaveMemoMJ)
           .Tag(2, kDataMJ + ":" + kShoruiMJ + ":" + kWaveMemoMJ)
           .Bytes(),
       "データ:書類:〜メモ:"},
      {"a version 3 record",
       AliasRecordWriter::Version3(AliasRecordWriter::kFolder)
           .UnicodeTag(14, u"Projects")
           .UnicodeTag(15, u"データ")
           .Tag(18, "/Projects")
           .Tag(19, "/Volumes/データ")
           .Bytes(),
       "データ:Projects:"},
      {"a volume", AliasRecordWriter::Version2(AliasRecordWriter::kFolder).VolumeName(kDataMJ).ParentID(1).Bytes(),
       "データ:"},
  };
  ScriptedUser user;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const String result = AliasPath::gAbsPath_dc(Stored(row.record), /*wantFile=*/false);
    EXPECT_EQ(result.ToUTF8(), row.path);
  }
  EXPECT_TRUE(user.Transcript().empty());
}

TEST_F(AliasPathTest, UnresolvedRecordsAskThePersonAgain) {
  const std::filesystem::path chosen = tree_.Folder("startup/Chosen");
  tree_.File("startup/chosen.txt", "x");

  const std::string deleted = AliasRecordWriter::Version2(AliasRecordWriter::kFolder)
                                  .VolumeName("Old HD")
                                  .FileName("Old")
                                  .Tag(2, WithNulsAfterColons("/:Users:me:Old"))
                                  .Bytes();
  const std::string deletedJapanese = AliasRecordWriter::Version2(AliasRecordWriter::kFolder)
                                          .VolumeName(kDataMJ)
                                          .Tag(2, kDataMJ + ":" + kShoruiMJ + ":" + kWaveMemoMJ)
                                          .Bytes();
  struct Row {
    const char* name;
    std::string stored;
    bool wantFile;
    const char* answer;  // POSIX path below the tree; nullptr cancels
    const char* message;
    const char* chooser;  // "folder chooser", or "file chooser" offering any file
    const char* result;
  };
  const Row rows[] = {
      {"deleted target, chooser cancelled", deleted, false, nullptr,
       "「/:Users:me:Old」が見つかりません。再指定して下さい。", "folder chooser", ""},
      {"deleted target, a folder chosen", deleted, false, "startup/Chosen",
       "「/:Users:me:Old」が見つかりません。再指定して下さい。", "folder chooser", "Macintosh HD:Chosen:"},
      {"a file is asked for with wantFile", deleted, true, "startup/chosen.txt",
       "「/:Users:me:Old」が見つかりません。再指定して下さい。", "file chooser", "Macintosh HD:chosen.txt"},
      {"the record's Mac Japanese path is shown in UTF-8", deletedJapanese, false, nullptr,
       "「データ:書類:〜メモ」が見つかりません。再指定して下さい。", "folder chooser", ""},
      // Every name on this file system is free of zero bytes, so such a text is
      // never a path, even one the framework would read as a bare name.
      {"bytes holding a zero byte are never a path text", std::string("abc\0def", 7), false, nullptr,
       "「abcdef」が見つかりません。再指定して下さい。", "folder chooser", ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    ScriptedUser user;
    if (row.answer) {
      user.WillChoose(FolderItem::FromPosix(tree_ / row.answer));
    } else {
      user.WillCancelChooser();
    }
    const String result = AliasPath::gAbsPath_dc(Stored(row.stored), row.wantFile);
    EXPECT_EQ(result.ToUTF8(), row.result);
    const std::vector<std::string> transcript = user.Transcript();
    ASSERT_GE(transcript.size(), 2u);
    EXPECT_EQ(transcript[0], std::string("msgbox ") + row.message);
    EXPECT_EQ(transcript[1], row.chooser);
    ASSERT_EQ(user.Choosers().size(), 1u);
    if (row.wantFile) {
      EXPECT_EQ(user.Choosers()[0].filter.ToUTF8(), "anyFile");
    }
    EXPECT_EQ(user.Report(), "");
  }
  EXPECT_TRUE(std::filesystem::exists(chosen)) << "the choice is not touched";
}

TEST(AbsPathEx, ScansForTheFirstPathField) {
  struct Row {
    const char* name;
    std::string bytes;
    std::string expected;
  };
  const std::string noField("\x00\x01\x00\x05hello\x00\x02", 11);
  const Row rows[] = {
      {"no 00 02 00: unchanged", noField, noField},
      {"the path field", std::string("\xff\x00\x02\x00\x03" "abcdef", 10), "abc"},
      {"00 02 00 00 is passed over and the scan goes on",
       std::string("\x00\x02\x00\x00xy\x00\x02\x00\x02" "pq", 12), "pq"},
      {"a length beyond the end gives what is there", std::string("\x00\x02\x00\x09" "ab", 6), "ab"},
      {"00 02 00 as the last bytes: no length, unchanged", std::string("ab\x00\x02\x00", 5),
       std::string("ab\x00\x02\x00", 5)},
      {"a length byte with nothing after it", std::string("\x00\x02\x00\x04", 4), ""},
      {"the empty text", "", ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const String result = Globals::gAbsPath_ex(String::FromBytes(row.bytes, EncodingId::ShiftJIS));
    EXPECT_EQ(result.Bytes(), row.expected);
    EXPECT_EQ(result.EncodingTag(), EncodingId::ShiftJIS);
  }

  // Real records. A file's header reads 00 02 00 00 at the version, which is
  // passed over, so the scan lands on tag 2. A folder's reads 00 02 00 01:
  // the scan takes the header for a path field and gives one byte, the
  // volume name's length.
  const auto record = [](std::uint16_t kind) {
    return String::FromBytes(AliasRecordWriter::Version2(kind)
                                 .VolumeName("HD")
                                 .FileName("Docs")
                                 .ParentID(2)
                                 .Tag(0, "HD")
                                 .Tag(2, "HD:Docs")
                                 .Bytes(),
                             EncodingId::None);
  };
  EXPECT_EQ(Globals::gAbsPath_ex(record(AliasRecordWriter::kFile)).Bytes(), "HD:Docs");
  EXPECT_EQ(Globals::gAbsPath_ex(record(AliasRecordWriter::kFolder)).Bytes(), "\x02");
}

TEST(TextToHandle, CopiesEveryByteAndNoTerminator) {
  const std::string bytes("\x00\x00\x01\x00\xff\x00", 6);
  const std::optional<DecrareEtc::Handle> h = DecrareEtc::TextToHandle(String::FromBytes(bytes, EncodingId::None));
  ASSERT_TRUE(h);
  EXPECT_EQ(std::string(h->begin(), h->end()), bytes);
  EXPECT_EQ(h->size(), bytes.size());
}

TEST_F(AliasPathTest, GetFullPathEndsAFoldersPathInAColon) {
  const std::filesystem::path folder = tree_.Folder("data/書類");
  EXPECT_EQ(DecrareEtc::GetFullPath(FolderItem::FromPosix(folder)).ToUTF8(), "データ:書類:");
  EXPECT_EQ(DecrareEtc::GetFullPath(framework::Volume(1)).ToUTF8(), "データ:");
  EXPECT_EQ(DecrareEtc::GetFullPath(nullptr).ToUTF8(), "");
}

}  // namespace
