#include "framework/core/threads/StopRequest.h"

#include <utility>

namespace framework {
namespace {
thread_local StopCheck* tInnermost = nullptr;
}  // namespace

StopCheck::StopCheck(std::function<bool()> requested)
    : requested_(std::move(requested)), outer_(tInnermost) {
  tInnermost = this;
}

StopCheck::~StopCheck() { tInnermost = outer_; }

bool StopRequested() { return tInnermost && tInnermost->requested_ && tInnermost->requested_(); }

}  // namespace framework
