#!/usr/bin/env bash
# The README's order: the start command first configures the build folder for
# the program alone (no tests), then the test command runs in that same
# folder. It must still build and run the whole suite, and both of its halves
# must find tests.
#
# Cheaply: the folders are configured for real, but building is left out (a
# stand-in "ninja" answers the scripts' build call) and ctest only lists what
# it would run (a stand-in "ctest" fails, as --no-tests=error does, when the
# list is empty).
#
# usage: readme_order.sh <scratch folder>
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
[ $# -eq 1 ] || { echo "usage: $0 <scratch folder>" >&2; exit 2; }
scratch=$1
case "$scratch" in "" | "/") echo "refusing '$scratch'" >&2; exit 2 ;; esac
rm -rf "$scratch"
mkdir -p "$scratch/bin"

real_ninja=$(command -v ninja)
real_ctest=$(command -v ctest)
cat >"$scratch/bin/ninja" <<STUB
#!/usr/bin/env bash
# The scripts' own build call ("ninja -C <folder>") builds nothing; cmake's
# compiler checks still get the real ninja.
if [ "\$#" -eq 2 ] && [ "\$1" = "-C" ]; then echo "ninja -C \$2" >>"$scratch/builds"; exit 0; fi
exec "$real_ninja" "\$@"
STUB
cat >"$scratch/bin/ctest" <<STUB
#!/usr/bin/env bash
listing=\$("$real_ctest" -N)
echo "ctest in \$PWD: \$(echo "\$listing" | grep 'Total Tests')" >>"$scratch/runs"
echo "\$listing" | grep -q 'Total Tests: [1-9]'
STUB
chmod +x "$scratch/bin/ninja" "$scratch/bin/ctest"

build=$scratch/build
# What the start command leaves: the folder configured without the tests.
cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=OFF >/dev/null
(cd "$build" && "$real_ctest" -N | grep -q 'Total Tests: 0') || { echo "FAILED: the start command's folder already lists tests" >&2; exit 1; }

if ! PATH="$scratch/bin:$PATH" OLVAN_BUILD_DIR=$build bash "$top/scripts/test.sh" >"$scratch/test.log" 2>&1; then
  cat "$scratch/test.log" "$scratch/runs" 2>/dev/null >&2 || true
  echo "FAILED: the test command, run after the start command's configure, found no tests" >&2
  exit 1
fi
cat "$scratch/builds" "$scratch/runs"
[ "$(wc -l <"$scratch/runs")" -eq 2 ] || { echo "FAILED: the test command did not run both halves" >&2; exit 1; }
echo "README order passed"
