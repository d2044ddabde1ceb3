#include "program/PageFlowFixture.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <vector>

#include "framework/core/files/FolderItem.h"
#include "framework/ui/ImplicitInstance.h"
#include "framework/ui/UserInput.h"
#include "shell/Startup.h"
#include "wizard/Window1.h"

namespace pageflowtest {
namespace {

using framework::UserInput;

std::string Bytes(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

std::string UserAttributes(const fs::path& item) {
  std::vector<char> names(65536);
  const ssize_t length = llistxattr(item.c_str(), names.data(), names.size());
  std::vector<std::string> found;
  for (ssize_t at = 0; at < length; at += static_cast<ssize_t>(std::string(names.data() + at).size()) + 1) {
    const std::string name = names.data() + at;
    if (!name.starts_with("user.")) continue;
    std::string value(65536, '\0');
    const ssize_t size = lgetxattr(item.c_str(), name.c_str(), value.data(), value.size());
    value.resize(size < 0 ? 0 : static_cast<std::size_t>(size));
    found.push_back(name + "=" + value);
  }
  std::sort(found.begin(), found.end());
  std::string out;
  for (const std::string& one : found) out += " " + one;
  return out;
}

void Describe(const fs::path& top, const fs::path& relative, std::string& out) {
  const fs::path path = relative.empty() ? top : top / relative;
  struct stat info {};
  if (lstat(path.c_str(), &info) != 0) return;
  std::ostringstream line;
  line << (relative.empty() ? "." : relative.generic_string()) << ": " << std::oct << (info.st_mode & 07777)
       << std::dec << " mtime " << info.st_mtim.tv_sec << "." << info.st_mtim.tv_nsec;
  if (S_ISREG(info.st_mode)) line << " file [" << Bytes(path) << "]";
  if (S_ISLNK(info.st_mode)) line << " link -> " << fs::read_symlink(path).generic_string();
  if (S_ISDIR(info.st_mode)) line << " folder";
  line << UserAttributes(path) << "\n";
  out += line.str();
  if (!S_ISDIR(info.st_mode)) return;
  std::vector<fs::path> children;
  for (const auto& entry : fs::directory_iterator(path)) children.push_back(entry.path().filename());
  std::sort(children.begin(), children.end());
  for (const fs::path& child : children) Describe(top, relative / child, out);
}

// Sets an item's modification time (not following a link) to a moment long
// past, so that a copy which kept it cannot have done so by chance.
void Age(const fs::path& item, long seconds) {
  const timespec times[2] = {{seconds, 0}, {seconds, 123456789}};
  ASSERT_EQ(utimensat(AT_FDCWD, item.c_str(), times, AT_SYMLINK_NOFOLLOW), 0) << item;
}

void Attribute(const fs::path& item, const std::string& name, const std::string& value) {
  ASSERT_EQ(lsetxattr(item.c_str(), name.c_str(), value.data(), value.size(), 0), 0) << item;
}

const char* const kOwnBundle = "usb/OLVAN 移行アシスタント.app";

}  // namespace

std::string TreeImage(const fs::path& top) {
  std::string out;
  Describe(top, fs::path(), out);
  return out;
}

PageFlowTest::PageFlowTest() : wizard_(framework::ImplicitInstance<Window1>::Shared()) {
  tree_.MakeBundle(kOwnBundle, "APPLqZws");
  tree_.MakeFolder(std::string(kOwnBundle) + "/Contents/Resources");
}

fs::path PageFlowTest::Marker() const { return tree_ / kOwnBundle / "Contents/Resources/CopyDone"; }

void PageFlowTest::BuildOldMachine() const {
  const fs::path toskarine = App("Toskarine II/Toskarine.app", programtest::kToskarine).parent_path();
  const fs::path readme = tree_.WriteFile("startup/Applications/Toskarine II/Readme.txt", "read me\n");
  Attribute(readme, "user.note", "kept with the file");
  fs::permissions(readme, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  Age(readme, 1000000000);
  const fs::path secret = tree_.WriteFile("startup/Applications/Toskarine II/Private/key.bin", std::string("\0\xff\x01", 3));
  fs::permissions(secret.parent_path(), fs::perms::owner_all);
  Age(secret, 1000000100);
  fs::create_symlink("Toskarine.app", toskarine / "Current");
  Age(toskarine / "Current", 1000000200);
  Age(secret.parent_path(), 1000000300);
  Attribute(toskarine, "user.folder", "a folder's own");
  Age(toskarine, 1000000400);

  tree_.WriteFile("startup/Users/me/Library/Application Support/Toskarine II/cache.dat", "cache");
  App("Pelquon/Pelquon.app", programtest::kPelquon);
  Pref("Pelquon初期設定");
  App("Quilbrant/Quilbrant.app", programtest::kQuilbrant);
  Document("startup/Users/me/Documents/Letters/letter", "Gml3", "qZw1");
}

void PageFlowTest::AddLetters() { AddByHand(Item("startup/Users/me/Documents/Letters")); }

std::int32_t PageFlowTest::RowOf(const std::string& name, const std::string& kind) {
  framework::Listbox& list = List();
  for (std::int32_t row = 0; row < list.ListCount(); ++row)
    if (list.Cell(row, 0).ToUTF8() == name && list.Cell(row, 1).ToUTF8() == kind) return row;
  return -1;
}

void PageFlowTest::NextToStepThree() {
  ASSERT_TRUE(UserInput::Press(Wizard().PushButton2()));
  ASSERT_EQ(Wizard().PagePanel1().Value(), 2);
}

void PageFlowTest::RunToTheEnd(framework::PushButton& run) {
  ASSERT_TRUE(UserInput::Press(run));
  framework::Thread::WaitForAll();
}

void PageFlowTest::StopAfterTheFirstItem(framework::PushButton& run) {
  // Every yield hands over, so the stop comes before the run goes far on.
  programtest::TimeSliceGuard strictTurns(std::chrono::microseconds(0));
  ASSERT_TRUE(UserInput::Press(run));
  // The walks move the bar after each item they transferred; a stop cuts
  // the item in hand short, so it is pressed once the first is over.
  const framework::ProgressBar& bar =
      Wizard().PagePanel1().Value() == 2 ? Wizard().ProgressBar1() : Wizard().ProgressBar2();
  ASSERT_TRUE(programtest::YieldUntil([&] { return bar.Value() >= 1; }));
  ASSERT_EQ(run.Caption().ToUTF8(), "中止") << "the run is still going";
  ASSERT_TRUE(UserInput::Press(run));
  framework::Thread::WaitForAll();
}

void PageFlowTest::ExpectCloseQuestion(std::size_t dialogIndex, const CloseQuestion& wording) const {
  const auto dialogs = user_.Dialogs();
  ASSERT_LT(dialogIndex, dialogs.size()) << "no question was asked";
  const framework::ScriptedUser::ShownDialog& asked = dialogs[dialogIndex];
  EXPECT_EQ(asked.message.ToUTF8(), wording.message);
  EXPECT_EQ(asked.explanation.ToUTF8(), wording.explanation);
  ASSERT_EQ(asked.buttons.size(), 2u);
  EXPECT_EQ(asked.buttons[0].first, framework::DialogButton::Action);
  EXPECT_EQ(asked.buttons[0].second.ToUTF8(), "終了しない");
  EXPECT_EQ(asked.buttons[1].first, framework::DialogButton::Cancel);
  EXPECT_EQ(asked.buttons[1].second.ToUTF8(), "強制終了");
  EXPECT_EQ(asked.parent, wizard_.get()) << "a sheet of the wizard";
}

void PageFlowTest::ExpectNothingLeftOpen() const {
  EXPECT_TRUE(framework::Window::OpenWindows().empty());
  bool quit = false;
  for (const std::string& line : user_.Transcript()) {
    if (line == "quit") quit = true;
    if (quit) {
      EXPECT_FALSE(line.starts_with("show ")) << line;
    }
  }
}

void PageFlowTest::LaunchOnNewMachine() {
  ShutDownProgram();
  framework::FileSystemSetup machine;
  machine.volumes = {{"New HD", tree_.MakeFolder("newmac")}, {"USB", tree_ / "usb"}};
  machine.applications = tree_.MakeFolder("newmac/Applications");
  machine.preferences = tree_.MakeFolder("newmac/Users/me/Library/Preferences");
  machine.applicationData = tree_.MakeFolder("newmac/Users/me/Library/Application Support");
  machine.documents = tree_.MakeFolder("newmac/Users/me/Documents");
  machine.baseFolder = tree_ / "usb";
  newMachine_.reset();
  newMachine_.emplace(std::move(machine));
  StartProgram();
  wizard_ = framework::ImplicitInstance<Window1>::Shared();
}

}  // namespace pageflowtest
