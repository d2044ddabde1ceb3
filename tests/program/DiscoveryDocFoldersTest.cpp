// The documents folder that Toskarine, Kavreline and Dornel record in their
// own preference files, found by the scan: which file each product's reader
// takes, how it reads the stored locations, and what it tells the person
// when one cannot be found.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "program/DiscoveryFixture.h"
#include "support/AliasRecordWriter.h"
#include "support/PrefFileWriter.h"

namespace {

using programtest::DiscoveryTest;
using testsupport::AliasRecordWriter;
using testsupport::PrefFileWriter;
using Texts = std::vector<std::string>;

const std::string kShoruiMJ = "\x8f\x91\x97\xde";  // 書類 in Mac Japanese
const std::string kDocumentsPath = "Macintosh HD:Users:me:Documents:書類";
const std::string kUnknown = "必要なファイルの所在が不明なので、処理を続行できません。";

// An alias record of a folder in the user's folder on the start-up disk.
std::string FolderRecord(const std::string& macJapanesePathInUser) {
  return AliasRecordWriter::Version2(AliasRecordWriter::kFolder)
      .VolumeName("Old HD")
      .Tag(2, testsupport::WithNulsAfterColons("/:Users:me:" + macJapanesePathInUser))
      .Bytes();
}

class DiscoveryDocFolders : public DiscoveryTest {
 protected:
  void Toskarine(const std::string& pref2) {
    App("A Toskarine/Toskarine.app", programtest::kToskarine);
    PrefFile("Toskarine初期設定", "pref2", pref2);
  }
  void Kavreline(const std::string& pref2) {
    App("B Kavreline/Kavreline.app", programtest::kKavreline);
    PrefFile("Kavreline初期設定", "pref2", pref2);
  }
  void Dornel(const std::string& pref) {
    App("C Dornel/Dornel.app", programtest::kDornel);
    PrefFile("Dornel初期設定", "pref", pref);
  }
  void PrefFile(const std::string& folder, const std::string& name, const std::string& bytes) {
    tree_.WriteFile("startup/Users/me/Library/Preferences/" + folder + "/" + name, bytes);
  }

  static std::string Pref2(const std::string& e17, const std::string& e18, const std::string& e19) {
    return PrefFileWriter::File(/*encoded=*/true, e17, e18, e19);
  }

  // What the person was shown: message boxes and choosers, in order.
  std::vector<std::string> Shown() const {
    std::vector<std::string> out;
    for (const std::string& line : user_.Transcript())
      if (line.starts_with("msgbox ") || line.ends_with("chooser")) out.push_back(line);
    return out;
  }
};

TEST_F(DiscoveryDocFolders, EachProductRecordsTheFolderItsFileNamesAndAFolderFoundAgainKeepsItsEntry) {
  tree_.MakeFolder("startup/Users/me/Documents/書類");
  // "～" (U+FF5E) is 81 60 in Shift_JIS; Mac Japanese reads 81 60 as "〜"
  // (U+301C), so only a reader that takes Dornel's bytes as Shift_JIS finds it.
  tree_.MakeFolder("startup/Users/me/Documents/～メモ");
  Toskarine(Pref2("", "", kDocumentsPath));
  Kavreline(Pref2("", "", kDocumentsPath + ":"));
  Dornel(PrefFileWriter::File(/*encoded=*/false, "", "", "Macintosh HD:Users:me:Documents:\x81\x60\x83\x81\x83\x82"));

  ScanOnDeviceRoute();

  EXPECT_EQ(Rows().front(), "[x] Toskarine II {0:1:2:}");
  EXPECT_EQ(TopRows(), (Texts{
                           "Toskarine II: AD startup/Applications/A Toskarine, "
                           "P startup/Users/me/Library/Preferences/Toskarine初期設定, "
                           "DD startup/Users/me/Documents/書類",
                           "Kavreline: AD startup/Applications/B Kavreline, "
                           "P startup/Users/me/Library/Preferences/Kavreline初期設定, "
                           "DD startup/Users/me/Documents/書類",
                           "Dornel: AD startup/Applications/C Dornel, "
                           "P startup/Users/me/Library/Preferences/Dornel初期設定, "
                           "DD startup/Users/me/Documents/～メモ",
                       }));
  EXPECT_EQ(Entries(), (Texts{
                           "AD startup/Applications/A Toskarine",
                           "P startup/Users/me/Library/Preferences/Toskarine初期設定",
                           "DD startup/Users/me/Documents/書類",
                           "AD startup/Applications/B Kavreline",
                           "P startup/Users/me/Library/Preferences/Kavreline初期設定",
                           "AD startup/Applications/C Dornel",
                           "P startup/Users/me/Library/Preferences/Dornel初期設定",
                           "DD startup/Users/me/Documents/～メモ",
                       }));
  EXPECT_EQ(Shown(), Texts{});
}

TEST_F(DiscoveryDocFolders, AnAliasRecordOfAFolderInTheDocumentsEntryIsResolved) {
  tree_.MakeFolder("startup/Users/me/Documents/書類");
  Toskarine(Pref2("", "", FolderRecord("Documents:" + kShoruiMJ)));

  ScanOnDeviceRoute();

  EXPECT_EQ(Entries().back(), "DD startup/Users/me/Documents/書類");
  EXPECT_EQ(Shown(), Texts{});
}

TEST_F(DiscoveryDocFolders, KavrelineReportsAnUnfoundEarlierLocationOnceAndToskarineNeverReadsIt) {
  tree_.MakeFolder("startup/Users/me/Documents/書類");
  // The same file for both: Toskarine resolves only entries 18 and 19.
  const std::string file = Pref2(FolderRecord("Gone"), "", kDocumentsPath);
  Toskarine(file);
  Kavreline(file);
  user_.WillCancelChooser();

  ScanOnDeviceRoute();

  EXPECT_EQ(Shown(), (Texts{
                         "msgbox 「/:Users:me:Gone」が見つかりません。再指定して下さい。",
                         "folder chooser",
                         "cancel chooser",
                         "msgbox " + kUnknown,
                     }));
  EXPECT_EQ(TopRows().at(1),
            "Kavreline: AD startup/Applications/B Kavreline, "
            "P startup/Users/me/Library/Preferences/Kavreline初期設定, DD startup/Users/me/Documents/書類");
}

TEST_F(DiscoveryDocFolders, ToskarineNamesEachUnfoundEntryAndRecordsNoDocumentsFolder) {
  Toskarine(Pref2("", FolderRecord("Old"), FolderRecord("Gone")));
  user_.WillCancelChooser();
  user_.WillCancelChooser();

  ScanOnDeviceRoute();

  EXPECT_EQ(Shown(), (Texts{
                         "msgbox 「/:Users:me:Old」が見つかりません。再指定して下さい。",
                         "folder chooser",
                         "cancel chooser",
                         "msgbox " + kUnknown + ":18",
                         "msgbox 「/:Users:me:Gone」が見つかりません。再指定して下さい。",
                         "folder chooser",
                         "cancel chooser",
                         "msgbox " + kUnknown + ":19",
                     }));
  EXPECT_EQ(TopRows(), (Texts{"Toskarine II: AD startup/Applications/A Toskarine, "
                              "P startup/Users/me/Library/Preferences/Toskarine初期設定"}));
}

// Each of these gives no documents folder and shows nothing; the products'
// other items are found as ever.
TEST_F(DiscoveryDocFolders, UnusableFilesAndEmptyOrMissingLocationsRecordNothingAndShowNothing) {
  Toskarine(Pref2("", "", ""));
  Kavreline(Pref2("", "", "Macintosh HD:Users:me:Gone"));
  const std::string sound = PrefFileWriter::File(/*encoded=*/false, "", "", kDocumentsPath);
  tree_.MakeFolder("startup/Users/me/Documents/書類");
  Dornel(sound.substr(0, sound.size() - 8));  // cut inside entry 19
  // A sound "pref2" beside Dornel's "pref": its reader must not take it.
  PrefFile("Dornel初期設定", "pref2", Pref2("", "", kDocumentsPath));

  ScanOnDeviceRoute();

  for (const std::string& entry : Entries()) EXPECT_FALSE(entry.starts_with("DD")) << entry;
  EXPECT_EQ(TopRows().size(), 3u);
  EXPECT_EQ(Shown(), Texts{});
}

}  // namespace
