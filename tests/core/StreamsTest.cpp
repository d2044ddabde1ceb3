// Text and binary streams over real files.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "framework/core/files/FolderItem.h"
#include "framework/core/files/Streams.h"
#include "support/TempTree.h"

#include <sys/stat.h>

namespace {

namespace fs = std::filesystem;
using framework::EncodingId;
using framework::FolderItem;
using framework::String;

class StreamsTest : public testing::Test {
 protected:
  StreamsTest() {
    std::string pattern = (fs::temp_directory_path() / "olvan-streams-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    folder_ = pattern;
  }
  ~StreamsTest() override {
    std::error_code error;
    fs::remove_all(folder_, error);
  }
  framework::FolderItemPtr File(const std::string& name, const std::string& content) {
    std::ofstream(folder_ / name, std::ios::binary) << content;
    return FolderItem::FromPosix(folder_ / name);
  }
  std::string Content(const std::string& name) {
    std::ifstream in(folder_ / name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  fs::path folder_;
};

TEST_F(StreamsTest, ReadLineSplitsAtEveryKindOfLineEnd) {
  struct Row {
    const char* name;
    std::string content;
    std::vector<std::string> lines;
  };
  const Row rows[] = {
      {"line feeds", "a\nb\n", {"a", "b"}},
      {"carriage returns, as classic Mac files end lines", "a\rb\r", {"a", "b"}},
      {"CR LF counts once", "a\r\nb\r\n", {"a", "b"}},
      {"mixed, with empty lines", "a\r\rb\n\nc\r\n\r\nd", {"a", "", "b", "", "c", "", "d"}},
      {"last line without an end is read whole", "APPLabcd", {"APPLabcd"}},
      {"a CR at the very end", "x\r", {"x"}},
      {"LF CR is two ends", "a\n\rb", {"a", "", "b"}},
      {"empty file", "", {}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    auto stream = File("lines", row.content)->OpenAsTextFile();
    ASSERT_NE(stream, nullptr);
    std::vector<std::string> lines;
    while (!stream->EndOfFile()) lines.push_back(stream->ReadLine().Bytes());
    EXPECT_EQ(lines, row.lines);
    EXPECT_EQ(stream->ReadLine().Bytes(), "");  // past the end: nothing
  }
}

TEST_F(StreamsTest, ReadLineTagsTheBytesAsAsked) {
  auto stream = File("sjis", "\x83\x81\x83\x82\r\n\x83\x81")->OpenAsTextFile();
  ASSERT_NE(stream, nullptr);
  const String untagged = stream->ReadLine();
  EXPECT_EQ(untagged.EncodingTag(), EncodingId::None);
  EXPECT_EQ(untagged.Bytes(), "\x83\x81\x83\x82");
  const String tagged = stream->ReadLine(framework::Encodings::ShiftJIS);
  EXPECT_EQ(tagged.EncodingTag(), EncodingId::ShiftJIS);
  EXPECT_EQ(tagged.ToUTF8(), "メ");
}

TEST_F(StreamsTest, OpeningFailsForFoldersAndMissingFiles) {
  EXPECT_EQ(FolderItem::FromPosix(folder_)->OpenAsTextFile(), nullptr);
  EXPECT_EQ(FolderItem::FromPosix(folder_)->OpenAsBinaryFile(), nullptr);
  EXPECT_EQ(FolderItem::FromPosix(folder_ / "missing")->OpenAsTextFile(), nullptr);
  EXPECT_EQ(FolderItem::FromPosix(folder_ / "missing")->OpenAsBinaryFile(/*write=*/true), nullptr);
  EXPECT_EQ(FolderItem::FromPosix(folder_ / "no" / "file")->CreateTextFile(), nullptr);
  EXPECT_FALSE(fs::exists(folder_ / "missing"));
  EXPECT_FALSE(fs::exists(folder_ / "no"));
}

TEST_F(StreamsTest, CreateTextFileStartsEmptyAndWritesBytesAsTheyAre) {
  File("marker", "old content that must go");
  auto out = FolderItem::FromPosix(folder_ / "marker")->CreateTextFile();
  ASSERT_NE(out, nullptr);
  EXPECT_TRUE(out->WriteLine("一行目"));
  EXPECT_TRUE(out->Write(String::FromBytes("\x83\x81", EncodingId::MacJapanese)));
  EXPECT_TRUE(out->Close());
  EXPECT_EQ(Content("marker"), "一行目\n\x83\x81");

  auto empty = FolderItem::FromPosix(folder_ / "CopyDone")->CreateTextFile();
  ASSERT_NE(empty, nullptr);
  EXPECT_TRUE(empty->Close());
  EXPECT_TRUE(fs::exists(folder_ / "CopyDone"));
  EXPECT_EQ(fs::file_size(folder_ / "CopyDone"), 0u);
}

TEST_F(StreamsTest, NumbersAreBigEndianUnlessAskedOtherwise) {
  auto stream = File("numbers", std::string("\x01\x02\x03\x04\xFF\xFF\xFF\xFE\x01\x02\x03\x04", 12))->OpenAsBinaryFile();
  ASSERT_NE(stream, nullptr);
  EXPECT_EQ(stream->ReadLong(), 0x01020304);
  EXPECT_EQ(stream->ReadLong(), -2);
  stream->LittleEndian = true;
  EXPECT_EQ(stream->ReadLong(), 0x04030201);
  EXPECT_TRUE(stream->EndOfFile());
}

TEST_F(StreamsTest, ReadsPastTheEndGiveWhatIsLeft) {
  {
    SCOPED_TRACE("ReadLong with two bytes left");
    auto stream = File("short", std::string("\xAB\xCD", 2))->OpenAsBinaryFile();
    EXPECT_EQ(stream->ReadLong(), static_cast<std::int32_t>(0xABCD0000u));
    EXPECT_TRUE(stream->EndOfFile());
    EXPECT_EQ(stream->ReadLong(), 0);
  }
  {
    SCOPED_TRACE("ReadPString whose length runs past the end");
    auto stream = File("pstring", std::string("\x03" "abc" "\x0A" "xyz", 8))->OpenAsBinaryFile();
    const String first = stream->ReadPString();
    EXPECT_EQ(first.Bytes(), "abc");
    EXPECT_EQ(first.EncodingTag(), EncodingId::None);
    EXPECT_FALSE(stream->EndOfFile());
    EXPECT_EQ(stream->ReadPString().Bytes(), "xyz");
    EXPECT_TRUE(stream->EndOfFile());
    EXPECT_EQ(stream->ReadPString().Bytes(), "");
  }
  {
    SCOPED_TRACE("Read of more than the file holds, and of nothing");
    auto stream = File("bytes", "0123456789")->OpenAsBinaryFile();
    EXPECT_EQ(stream->Read(0).Bytes(), "");
    EXPECT_EQ(stream->Read(-5).Bytes(), "");
    EXPECT_EQ(stream->Read(4).Bytes(), "0123");
    EXPECT_EQ(stream->Position(), 4);
    EXPECT_EQ(stream->Read(std::int64_t{1} << 40).Bytes(), "456789");  // must not try to hold a terabyte
    EXPECT_TRUE(stream->EndOfFile());
    EXPECT_EQ(stream->Length(), 10);
  }
}

TEST_F(StreamsTest, BinaryFileOpenedForWritingReadsAndWritesInPlace) {
  auto stream = File("data", "AAAABBBB")->OpenAsBinaryFile(/*write=*/true);
  ASSERT_NE(stream, nullptr);
  EXPECT_EQ(stream->Read(4).Bytes(), "AAAA");
  EXPECT_TRUE(stream->Write("xy"));
  EXPECT_EQ(stream->Length(), 8);
  EXPECT_EQ(stream->Read(2).Bytes(), "BB");
  EXPECT_TRUE(stream->Write("tail"));
  EXPECT_EQ(stream->Length(), 12);
  stream->Close();
  EXPECT_EQ(Content("data"), "AAAAxyBBtail");

  auto readOnly = File("ro", "data")->OpenAsBinaryFile();
  EXPECT_FALSE(readOnly->Write("no"));
  readOnly->Close();
  EXPECT_EQ(Content("ro"), "data");
}

}  // namespace

// A FIFO (or a device) where a file is expected must not block the reader (a worker would
// hold the baton for as long as nobody writes to it): it is refused.
TEST(StreamsOpen, AFifoOrAFolderIsRefusedAtOnce) {
  testsupport::TempTree tree;
  const auto fifo = tree / "pref2";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  const auto item = framework::FolderItem::FromPosix(fifo);
  EXPECT_EQ(item->OpenAsBinaryFile(), nullptr);
  EXPECT_EQ(item->OpenAsTextFile(), nullptr);
  EXPECT_EQ(item->CreateTextFile(), nullptr);
  EXPECT_EQ(framework::FolderItem::FromPosix(tree.Folder("folder"))->OpenAsTextFile(), nullptr);
  if (std::filesystem::exists("/dev/full")) {
    EXPECT_EQ(framework::FolderItem::FromPosix("/dev/full")->CreateTextFile(), nullptr);
  }
  const auto plain = framework::FolderItem::FromPosix(tree.File("plain", "data"));
  auto stream = plain->OpenAsBinaryFile();
  ASSERT_NE(stream, nullptr);
  EXPECT_EQ(stream->Read(4).Bytes(), "data");
}
