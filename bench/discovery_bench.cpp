// Times the scan of STEP 2 as the wizard runs it: an Applications folder of
// many sub-folders, a few of them the maker's products with their
// preferences and Application Support items, the rest other applications.
//
//   discovery_bench [--folders N] [--makers M] [--rounds R]
//
// Defaults: 1,000 sub-folders, 50 of them the maker's, 5 rounds of each way
// of idling below, the tree in a new temporary folder. The first round is
// the person's Next from STEP 1; the others are "再取得". Every round is
// checked to list all M products; the wall time of each, the best and the
// median are printed, with the longest time any thread waited for the baton.
//
// The main thread idles while the worker scans, in two ways:
//   - as the GUI thread does with nobody at the screen: without the baton,
//     yielding the processor until the worker has ended;
//   - as tests wait: Thread::WaitForAll, which holds the baton between its
//     yields.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "discovery/Window2.h"
#include "framework/core/files/FileSystemSetup.h"
#include "framework/core/threads/Baton.h"
#include "framework/core/threads/Thread.h"
#include "framework/testing/FileSystemSetupGuard.h"
#include "framework/testing/ScriptedUser.h"
#include "framework/testing/TempFolder.h"
#include "framework/ui/UserInput.h"
#include "shell/Startup.h"
#include "wizard/Window1.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

struct Options {
  int folders = 1000;
  int makers = 50;
  int rounds = 5;
};

bool ParseOptions(int argc, char** argv, Options& options) {
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (i + 1 >= argc) return false;
    const int value = std::atoi(argv[++i]);
    if (arg == "--folders") {
      options.folders = value;
    } else if (arg == "--makers") {
      options.makers = value;
    } else if (arg == "--rounds") {
      options.rounds = value;
    } else {
      return false;
    }
  }
  return options.folders >= options.makers && options.makers >= 0 && options.rounds >= 1;
}

// The five products that have a pickup rule, with their items.
struct Product {
  const char* app;
  const char* code;
  const char* preferences;  // nullptr: none recorded by the rule
  const char* support;
};
const Product kProducts[] = {
    {"Toskarine", "APPLqZw1", "Toskarine初期設定", "Toskarine II"},
    {"Quilbrant", "APPLqZw2", nullptr, nullptr},
    {"Kavreline", "APPLqZw4", "Kavreline初期設定", nullptr},
    {"Dornel", "APPLqZw5", "Dornel初期設定", "Dornel"},
    {"Pelquon", "APPLqZwm", "Pelquon初期設定", nullptr},
};

// The old machine: every (folders / makers)-th sub-folder is the maker's,
// the others hold another vendor's application and a read-me.
framework::FileSystemSetup BuildMachine(const framework::TempFolder& tree, const Options& options) {
  framework::FileSystemSetup setup;
  setup.volumes = {{"Macintosh HD", tree.MakeFolder("startup")}};
  setup.applications = tree.MakeFolder("startup/Applications");
  setup.preferences = tree.MakeFolder("startup/Users/me/Library/Preferences");
  setup.applicationData = tree.MakeFolder("startup/Users/me/Library/Application Support");
  setup.documents = tree.MakeFolder("startup/Users/me/Documents");
  setup.baseFolder = tree.MakeFolder("usb");
  for (const Product& p : kProducts) {
    if (p.preferences) tree.WriteFile(std::string("startup/Users/me/Library/Preferences/") + p.preferences + "/pref");
    if (p.support) tree.MakeFolder(std::string("startup/Users/me/Library/Application Support/") + p.support);
  }
  const int every = options.makers > 0 ? options.folders / options.makers : options.folders + 1;
  int made = 0;
  for (int i = 0; i < options.folders; ++i) {
    char folder[32];
    std::snprintf(folder, sizeof folder, "Folder %04d", i);
    const std::string apps = std::string("startup/Applications/") + folder;
    if (made < options.makers && i % every == 0) {
      const Product& p = kProducts[made % std::size(kProducts)];
      tree.MakeBundle(apps + "/" + p.app + ".app", p.code);
      tree.WriteFile(apps + "/Read Me", "notes");
      ++made;
    } else {
      tree.MakeBundle(apps + "/Tool " + std::to_string(i) + ".app", "APPLxy" + std::to_string(10 + i % 90));
      tree.WriteFile(apps + "/Read Me", "notes");
    }
  }
  return setup;
}

int ProductRows() {
  framework::Listbox& list = Window2::Instance().Listbox1();
  int rows = 0;
  for (std::int32_t row = 0; row < list.ListCount(); ++row) {
    if (list.Cell(row, 1).IsEmpty()) ++rows;
  }
  return rows;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (!ParseOptions(argc, argv, options)) {
    std::fprintf(stderr, "usage: discovery_bench [--folders N] [--makers M] [--rounds R]\n");
    return 2;
  }
  framework::BatonHolder programCode;
  framework::TempFolder tree;
  framework::FileSystemSetupGuard machine(BuildMachine(tree, options));
  // A real Applications folder has not changed in the last moment; a folder
  // that has is listed afresh on every look, which would time the tree's
  // making rather than the scan.
  {
    framework::BatonReleaser idle;
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
  }

  framework::ScriptedUser person;
  StartProgram();
  Window1& wizard = Window1::Instance();
  framework::UserInput::Choose(wizard.RadioButton1());

  struct Idle {
    const char* name;
    void (*wait)();
  };
  const Idle idles[] = {
      {"idle without the baton, as the GUI thread",
       [] {
         // The event loop with no event to deliver: the baton stays free.
         framework::BatonReleaser eventLoop;
         while (framework::Thread::RunningCount() > 0) std::this_thread::yield();
       }},
      {"idle in Thread::WaitForAll", [] { framework::Thread::WaitForAll(); }},
  };
  bool allFound = true;
  bool first = true;
  std::vector<std::string> summary;
  for (const Idle& idle : idles) {
    std::vector<double> seconds;
    framework::Baton::ResetLongestWait();
    for (int round = 0; round < options.rounds; ++round) {
      const auto start = Clock::now();
      framework::UserInput::Press(first ? wizard.PushButton2() : wizard.PushButton8());
      first = false;
      idle.wait();
      seconds.push_back(std::chrono::duration<double>(Clock::now() - start).count());
      const int found = ProductRows();
      std::printf("%s, round %d: %.4f s, %d products listed\n", idle.name, round + 1, seconds.back(), found);
      allFound = allFound && found == options.makers;
    }
    std::vector<double> sorted = seconds;
    std::sort(sorted.begin(), sorted.end());
    char line[256];
    std::snprintf(line, sizeof line, "%s: best %.4f s, median %.4f s; longest wait for the baton %.3f ms", idle.name,
                  sorted.front(), sorted[sorted.size() / 2],
                  static_cast<double>(framework::Baton::LongestWait().count()) / 1000.0);
    summary.emplace_back(line);
  }
  ShutDownProgram();

  std::printf("scan of %d sub-folders (%d the maker's):\n", options.folders, options.makers);
  for (const std::string& line : summary) std::printf("  %s\n", line.c_str());
  if (!allFound) {
    std::fprintf(stderr, "a round did not list every product\n");
    return 1;
  }
  return 0;
}
