#!/bin/bash
# Runs orlaxctl (the default build's) under valgrind's memcheck over a few
# sessions against the emulated unit: a status query, a passing final check
# with its production record, SET OFFSETS with edits and every button,
# STARTUP with its device files, DISK POSITION, downloads that a spooler
# fault fails, and a scenario file that is refused. Any memory error or any
# definite or indirect leak fails the run, and so does a session that does
# not end with the exit status it should.
#
# usage: scripts/valgrind.sh [ORLAXCTL]    (default build/orlaxctl)
set -euo pipefail
cd "$(dirname "$0")/.."

orlaxctl=${1:-build/orlaxctl}
if [ ! -x "$orlaxctl" ]; then
  cmake --preset default
  cmake --build --preset default --target orlaxctl
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
data=$work/data
folder=$data/Korvane/ORLAXPRO
mkdir -p "$folder"
# Device files of several blocks, one block exactly, and none at all.
head -c 2500 /dev/zero | tr '\0' 'F' >"$folder/firm.bin"
head -c 1000 /dev/zero | tr '\0' 'L' >"$folder/MarlithPro.Lod"
: >"$folder/fupdate.fzp"
head -c 1500 /dev/zero | tr '\0' 'D' >"$folder/fdefault.fzp"
cat >"$work/passing.json" <<'JSON'
{"record": {"firmwareVersion": "Not Set", "trayInSensorHigh": 200, "diskInSensorHigh": 180,
            "yellowSpitsA": 1520, "cyanSpitsB": 301, "disksPrinted": 1234, "disksPicked": 1240}}
JSON
echo '{"faults": {"write": true}}' >"$work/write-fault.json"
echo '{"busyPolls": 1E400}' >"$work/refused.json"

# name | expected exit status | orlaxctl arguments
sessions=(
  "get-status|0|--emulate --fast get-status"
  "passing final check|0|--emulate=$work/passing.json --fast --data-root $data final-check"
  "set offsets with edits|0|--emulate --fast set-offsets type 1014 5 click 1020 click 1021 click 1030 click 1022 click 1023 click 1024 click 1019 click 1027 type 1026 200 type 1028 -3 cancel"
  "startup with files|0|--emulate --fast --data-root $data startup"
  "disk position|0|--emulate --fast disk-position type 1015 5 type 1001 -3 ok"
  "downloads that fail|1|--emulate=$work/write-fault.json --fast --data-root $data startup send-test-file"
  "refused scenario|2|--emulate=$work/refused.json --fast get-status"
)

failed=0
for session in "${sessions[@]}"; do
  IFS='|' read -r name expected args <<<"$session"
  log=$work/valgrind.log
  status=0
  # shellcheck disable=SC2086  # the arguments are words
  valgrind --tool=memcheck --error-exitcode=1 --leak-check=full \
    --errors-for-leak-kinds=definite,indirect --log-file="$log" \
    "$orlaxctl" $args >/dev/null 2>&1 || status=$?
  errors=$(sed -n 's/.*ERROR SUMMARY: \([0-9]*\) errors.*/\1/p' "$log" | tail -1)
  if [ "$status" -ne "$expected" ] || [ "${errors:-1}" -ne 0 ]; then
    echo "valgrind: $name: exit $status (expected $expected), ${errors:-?} errors" >&2
    cat "$log" >&2
    failed=1
  else
    echo "valgrind: $name: clean"
  fi
done
exit $failed
