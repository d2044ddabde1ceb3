#!/usr/bin/env bash
# Sets the machine up, builds, and runs every test: once in a normal build and
# once under the address and undefined-behaviour sanitizers.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/setup.sh"
jobs=$(nproc)

"$top/scripts/build.sh" "$top/build" -DOLVAN_WERROR=ON
(cd "$top/build" && ctest --output-on-failure -j "$jobs")

export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
"$top/scripts/build.sh" "$top/build-sanitize" -DOLVAN_SANITIZE=ON -DOLVAN_WERROR=ON
(cd "$top/build-sanitize" && ctest --output-on-failure -j "$jobs")
