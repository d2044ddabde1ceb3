// Test entry point: every test body runs as program code, holding the baton
// the way the GUI thread does while it dispatches an event.
#include <gtest/gtest.h>

#include "framework/core/threads/Baton.h"

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  framework::BatonHolder programCode;
  return RUN_ALL_TESTS();
}
