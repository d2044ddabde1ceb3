#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a bounded time.
#   scripts/fuzz.sh [seconds-per-target]   (default 60)
# Seeds come from fuzz/seeds/<name>/ (read only); what the fuzzer learns
# grows in build-fuzz/corpus/, and inputs that crash land in build-fuzz/findings/.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
dir="$top/build-fuzz"

cmake -S "$top" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_COMPILER=clang++ -DOLVAN_FUZZ=ON -DBUILD_TESTING=OFF >/dev/null
targets=(alias_record_fuzz enigma_fuzz pref2_reader_fuzz pref_reader_fuzz)
ninja -C "$dir" "${targets[@]}"

export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
status=0
for target in "${targets[@]}"; do
  corpus="$dir/corpus/$target"
  findings="$dir/findings/$target"
  mkdir -p "$corpus" "$findings"
  dirs=("$corpus")
  seeds="$top/fuzz/seeds/${target%_fuzz}"
  if [ -d "$seeds" ]; then dirs+=("$seeds"); fi
  echo "== $target for ${seconds}s"
  if ! "$dir/fuzz/$target" -max_total_time="$seconds" -max_len=4096 -timeout=10 \
      -artifact_prefix="$findings/" -print_final_stats=1 "${dirs[@]}"; then
    echo "== $target found a problem; inputs in $findings" >&2
    status=1
  fi
done
exit $status
