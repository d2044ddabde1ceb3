// A fresh program for each test: the scripted user stands in for the person,
// start-up runs as the entry point runs it, and shut-down releases
// everything, so no window, menu bar or table row leaks into the next test.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "framework/core/text/String.h"
#include "framework/testing/ScriptedUser.h"
#include "shell/App.h"
#include "shell/Startup.h"
#include "wizard/Window1.h"

namespace programtest {

class ProgramTest : public ::testing::Test {
 protected:
  ProgramTest() { StartProgram(); }
  ~ProgramTest() override { ShutDownProgram(); }
  void TearDown() override { EXPECT_EQ(user_.Report(), ""); }

  static Window1& Wizard() { return Window1::Instance(); }
  static App& TheApp() { return App::Instance(); }

  // Constructed before StartProgram, so every window start-up shows is seen.
  framework::ScriptedUser user_;
};

// A text written as the design writes it, with ⏎ for one line break.
inline std::string Expand(const std::string& text) {
  static const std::string mark = "⏎";
  std::string out;
  for (std::size_t at = 0;;) {
    const std::size_t next = text.find(mark, at);
    out += text.substr(at, next - at);
    if (next == std::string::npos) return out;
    out += framework::EndOfLine;
    at = next + mark.size();
  }
}

}  // namespace programtest
