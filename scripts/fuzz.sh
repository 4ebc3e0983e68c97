#!/bin/bash
# Builds the fuzz targets with clang, libFuzzer and the address and
# undefined-behaviour sanitizers (build-fuzz, a build of its own: see
# tests/fuzz/CMakeLists.txt), then runs each target for a bounded time from
# its seed corpus. Any finding (a crash, a failed check, a sanitizer report,
# an input that takes more than 10 s) fails the run; the input is kept in
# build-fuzz/findings/TARGET/.
#
# usage: scripts/fuzz.sh [SECONDS_PER_TARGET]    (default 60)
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-60}
if ! [[ $seconds =~ ^[1-9][0-9]*$ ]]; then
  echo "usage: scripts/fuzz.sh [SECONDS_PER_TARGET]" >&2
  exit 2
fi

CC=clang CXX=clang++ cmake -S tests/fuzz -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build-fuzz

failed=()
for fuzzer in build-fuzz/*_fuzz; do
  target=$(basename "$fuzzer" _fuzz)
  corpus=build-fuzz/corpus/$target          # grows from run to run
  findings=build-fuzz/findings/$target
  log=build-fuzz/$target.log
  mkdir -p "$corpus" "$findings"
  status=0
  "$fuzzer" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
    -artifact_prefix="$findings/" "$corpus" "tests/fuzz/corpus/$target" >"$log" 2>&1 || status=$?
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  if [ "$status" -ne 0 ]; then
    failed+=("$target")
    echo "$target: FINDING after ${runs:-?} executions (exit $status); input in $findings/, log in $log" >&2
    grep -E '^(==[0-9]+==ERROR|SUMMARY|.*: runtime error:|.*\.cpp:[0-9]+: )' "$log" | head -5 >&2 || true
  else
    echo "$target: ${runs:-?} executions in ${seconds} s, no finding"
  fi
done

if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzzing found faults in: ${failed[*]}" >&2
  exit 1
fi
