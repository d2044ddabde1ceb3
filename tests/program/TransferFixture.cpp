#include "program/TransferFixture.h"

#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/prctl.h>
#include <sys/statfs.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdio>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <memory>
#include <sstream>
#include <thread>

#include "framework/core/files/FolderItem.h"
#include "framework/core/text/StringFunctions.h"
#include "framework/core/threads/Baton.h"
#include "framework/core/threads/Thread.h"
#include "framework/ui/ImplicitInstance.h"
#include "framework/ui/UserInput.h"
#include "wizard/Window3.h"

namespace transfertest {

using framework::UserInput;

// What statfs tells of a disk served by a user-space file system.
constexpr decltype(statfs::f_type) kFuseMagic = 0x65735546;

std::set<std::string> Listing(const fs::path& folder) {
  std::set<std::string> names;
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(folder, error)) names.insert(entry.path().filename().string());
  return names;
}

std::string ReadText(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

TransferTest::TransferTest() {
  for (const fs::path& folder : {Old("Applications"), Old("Users/taro/Library/Preferences"), Device(),
                                 Applications(), Preferences(), ApplicationSupport(), Documents()}) {
    fs::create_directories(folder);
  }
  framework::FileSystemSetup view;
  view.volumes = {{"Macintosh HD", tree_.Path()}, {"OldMac", tree_ / "Old"}};
  view.applications = Applications();
  view.preferences = Preferences();
  view.applicationData = ApplicationSupport();
  view.documents = Documents();
  view.baseFolder = Device();
  view_.emplace(std::move(view));

  // The item list as the wizard sets it up on STEP 2.
  Window2& itemList = Window2::Instance();
  itemList.pWin1 = framework::ImplicitInstance<Window1>::Shared();
  itemList.Listbox1().ColumnWidths("70%,0,0,*");
}

void TransferTest::TearDown() {
  // Nothing of a run may outlive the test's folders.
  framework::Thread::WaitForAll();
  ProgramTest::TearDown();
}

std::int32_t TransferTest::Entry(const fs::path& item, const std::string& kind) {
  return Wizard().AddFIlist(framework::FolderItem::FromPosix(item), kind);
}

std::int32_t TransferTest::AddProductRow(const std::string& name, const std::vector<std::int32_t>& entries) {
  std::string indexList;
  for (const std::int32_t entry : entries) indexList += std::to_string(entry) + ":";
  framework::Listbox& list = List();
  list.AddFolder(name);
  const std::int32_t row = list.LastIndex();
  list.CellType(row, 0, framework::Listbox::TypeCheckBox);
  list.CellCheck(row, 0, true);
  list.Cell(row, 2, indexList);
  return row;
}

std::int32_t TransferTest::AddItemRow(std::int32_t entry, const std::string& kind) {
  framework::Listbox& list = List();
  list.AddRow(Wizard().pFI.at(static_cast<std::size_t>(entry)).item->Name());
  const std::int32_t row = list.LastIndex();
  list.CellType(row, 0, framework::Listbox::TypeCheckBox);
  list.CellCheck(row, 0, true);
  list.Cell(row, 1, kind);
  list.Cell(row, 2, std::to_string(entry));
  return row;
}

void TransferTest::OnStepThreeByDevice() {
  ASSERT_TRUE(UserInput::Choose(Wizard().RadioButton1()));
  Wizard().PagePanel1().Value(2);
}

void TransferTest::OnStepThreeByNetwork(bool replace) {
  user_.WillDrive([](framework::Window& window) {
    auto& chooser = static_cast<Window3&>(window);
    UserInput::SelectRow(chooser.Listbox1(), 1);  // "OldMac"
    UserInput::SelectRow(chooser.Listbox2(), 0);  // "taro"
    UserInput::Press(chooser.PushButton2());
  });
  ASSERT_TRUE(UserInput::Choose(Wizard().RadioButton2()));
  ASSERT_TRUE(Wizard().RadioButton2().Value()) << "the old disk was chosen";
  Wizard().PagePanel1().Value(2);
  ASSERT_TRUE(UserInput::Choose(replace ? Wizard().RadioButton3() : Wizard().RadioButton4()));
}

void TransferTest::OnStepFour(bool replace) {
  Wizard().pPastePhase = Window1::PhasePastePending;
  Wizard().PagePanel1().Value(3);
  ASSERT_TRUE(UserInput::Choose(replace ? Wizard().RadioButton5() : Wizard().RadioButton6()));
}

void TransferTest::Copy() {
  ASSERT_TRUE(UserInput::Press(Wizard().PushButton5()));
  framework::Thread::WaitForAll();
}

void TransferTest::Paste() {
  ASSERT_TRUE(UserInput::Press(Wizard().PushButton6()));
  framework::Thread::WaitForAll();
}

bool TransferTest::YieldUntil(const std::function<bool()>& done) {
  while (!done()) {
    if (framework::Thread::RunningCount() == 0) return done();
    if (framework::Baton::Waiters() == 0) {
      // The worker may be inside a system call without the baton.
      framework::BatonReleaser letGo;
      std::this_thread::yield();
    }
    framework::Yield();
  }
  return true;
}

TransferTest::SmallDiskRun TransferTest::RunOnSmallDisks(const std::vector<std::pair<fs::path, std::string>>& disks,
                                                         const std::function<std::string()>& body) {
  return RunWithOwnMounts(
      [&]() -> std::string {
        for (const auto& [folder, options] : disks) {
          if (mount("tmpfs", folder.c_str(), "tmpfs", 0, options.c_str()) != 0)
            return "mounting a tmpfs on " + folder.string() + ": " + std::strerror(errno);
        }
        return "";
      },
      body);
}

TransferTest::SmallDiskRun TransferTest::RunOnDiskWithoutExchange(const fs::path& folder,
                                                                  const std::function<std::string()>& body) {
  pid_t daemon = -1;
  const auto mountIt = [&]() -> std::string {
    daemon = fork();
    if (daemon < 0) return std::string("fork: ") + std::strerror(errno);
    if (daemon == 0) {
      // Goes with the process that mounted it, whatever becomes of that.
      prctl(PR_SET_PDEATHSIG, SIGKILL);
      execlp("bindfs", "bindfs", "-f", "-o", "nonempty", folder.c_str(), folder.c_str(), nullptr);
      _exit(127);
    }
    // The daemon is another program: its mount is looked for, as long as it
    // runs and for ten seconds at the most.
    for (int tries = 0;; ++tries) {
      struct statfs disk {};
      if (statfs(folder.c_str(), &disk) == 0 && disk.f_type == kFuseMagic) break;
      int status = 0;
      if (waitpid(daemon, &status, WNOHANG) == daemon || tries == 1000)
        return "no bindfs disk (scripts/setup.sh installs bindfs)";
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    const fs::path a = folder / ".exchange-probe-a";
    const fs::path b = folder / ".exchange-probe-b";
    fs::create_directory(a);
    fs::create_directory(b);
    const bool exchanges = renameat2(AT_FDCWD, a.c_str(), AT_FDCWD, b.c_str(), RENAME_EXCHANGE) == 0;
    fs::remove(a);
    fs::remove(b);
    return exchanges ? "bindfs exchanges names here: no disk without exchange" : "";
  };
  return RunWithOwnMounts(mountIt, [&] {
    std::string text = body();
    // Detached even with a disk still mounted inside, and the daemon ended.
    umount2(folder.c_str(), MNT_DETACH);
    kill(daemon, SIGTERM);
    waitpid(daemon, nullptr, 0);
    return text;
  });
}

TransferTest::SmallDiskRun TransferTest::RunWithOwnMounts(const std::function<std::string()>& mounts,
                                                          const std::function<std::string()>& body) {
  if (geteuid() != 0) return {false, "mounting a disk needs root"};
  framework::Thread::WaitForAll();  // the child must not inherit a worker in the middle of a run
  int pipeFds[2];
  if (pipe(pipeFds) != 0) return {false, std::string("pipe: ") + std::strerror(errno)};
  const pid_t child = fork();
  if (child < 0) return {false, std::string("fork: ") + std::strerror(errno)};
  if (child == 0) {
    close(pipeFds[0]);
    auto finish = [&](int code, const std::string& text) {
      const char* at = text.data();
      for (std::size_t left = text.size(); left > 0;) {
        const ssize_t n = write(pipeFds[1], at, left);
        if (n <= 0) break;
        at += n;
        left -= static_cast<std::size_t>(n);
      }
      _exit(code);
    };
    if (unshare(CLONE_NEWNS) != 0) finish(77, std::string("unshare(CLONE_NEWNS): ") + std::strerror(errno));
    if (mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
      finish(77, std::string("making the mounts private: ") + std::strerror(errno));
    if (const std::string why = mounts(); !why.empty()) finish(77, why);
    try {
      finish(0, body());
    } catch (const std::exception& e) {
      finish(1, std::string("the run in the child ended by an exception: ") + e.what());
    } catch (...) {
      finish(1, "the run in the child ended by an exception");
    }
  }
  close(pipeFds[1]);
  std::string report;
  char buffer[4096];
  for (ssize_t n; (n = read(pipeFds[0], buffer, sizeof buffer)) != 0;) {
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) break;
    report.append(buffer, static_cast<std::size_t>(n));
  }
  close(pipeFds[0]);
  int status = 0;
  while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  if (WIFEXITED(status) && WEXITSTATUS(status) == 77) return {false, report};
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << report;
  return {true, report};
}

void Observations::Add(const std::string& key, const std::string& value) {
  std::string flat;
  for (const char c : value) {
    if (c == '\n') {
      flat += "⏎";
    } else {
      flat += c;
    }
  }
  text_ += key + "\t" + flat + "\n";
}

std::map<std::string, std::string> Observations::Parse(const std::string& text) {
  std::map<std::string, std::string> values;
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) {
    const std::size_t tab = line.find('\t');
    if (tab != std::string::npos) values[line.substr(0, tab)] = line.substr(tab + 1);
  }
  return values;
}

}  // namespace transfertest
