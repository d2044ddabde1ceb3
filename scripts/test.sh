#!/usr/bin/env bash
# Sets the machine up, builds, and runs every test: once in a normal build and
# once under the address and undefined-behaviour sanitizers.
#
# The build folder may have been configured before by another command (the
# start command builds the program only, without the tests): every setting
# the suite depends on is given again here, so the whole suite is always built
# and run, and a run that finds no test fails.
# The folders: $OLVAN_BUILD_DIR (default <repository>/build) and the same name
# with "-sanitize" after it.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${OLVAN_BUILD_DIR:-$top/build}
"$top/scripts/setup.sh"
jobs=$(nproc)

suite() {  # folder sanitize(ON|OFF)
  "$top/scripts/build.sh" "$1" -DBUILD_TESTING=ON -DOLVAN_WERROR=ON -DOLVAN_SANITIZE="$2"
  (cd "$1" && ctest --output-on-failure --no-tests=error -j "$jobs")
}

suite "$build" OFF

export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
suite "$build-sanitize" ON
