#!/bin/bash
# End to end over USB: orlax-emulator --usb attaches the emulated unit as a
# USB printer (a umockdev test bed) and runs orlaxctl in it on a CUPS queue
# whose device URI is usb://Korvane/ORLAX%20PRO?serial=S. Jobs cannot reach
# that queue's unit through the system's cupsd (its usb backend runs outside
# the test bed); the status goes over USB:
#
#  - GET STATUS shows exactly the report of orlaxctl --emulate for the same
#    scenario, the unit journals the status reads, and the kernel driver is
#    bound again afterwards; CUPS's own usb backend names the unit by the
#    same URI;
#  - a URI naming another unit, an interface held by another program
#    throughout, a unit that never answers and one unplugged during the
#    exchange each fail with their code, in bounded time, the driver bound
#    again; an interface held for a moment is waited out;
#  - jobs and status reads through a cupsd of the test's own, started in the
#    test bed, whose usb backend delivers the jobs to the unit: on a queue
#    set up by orlax-station (every command, a passing unit's whole final
#    check with its record among them, within its normal bound), on one made
#    by hand (the same final check, slow, the fix named once; check lists
#    what is broken), and to a unit that never finishes taking a job (maybe
#    delivered).
#
#   usb_end_to_end.sh ORLAXCTL ORLAX_EMULATOR USB_HOLD CONTRACT_TESTS ORLAX_STATION
#
# Needs a running cupsd (started when none runs) and CUPS administrator
# rights; anything missing is a failure, never a skip.
set -euo pipefail
# shellcheck source=../../support/test_bed_cupsd.sh
. "$(dirname "$0")/../../support/test_bed_cupsd.sh"

# Under the sanitizers: in the test bed the preload library comes before the
# address sanitizer's runtime, and GLib's and umockdev's own allocations live
# until the programs end.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}verify_asan_link_order=0:detect_leaks=0"

orlaxctl=$1
emulator=$2
hold=$3
contract_tests=$4
station_tool=$5
backend=/usr/lib/cups/backend/usb
# A serial of this run's own: the unit lock is per unit, and another run of the suite may
# hold its own emulated unit at the same time.
serial="BENCH $$"
uri="usb://Korvane/ORLAX%20PRO?serial=BENCH%20$$"
queue="orlax_usb_$$"
other="orlax_usb_other_$$"
work=$(mktemp -d)
added=()
failures=0
# A guard against hanging, not a timing goal: each run has a 2 s status budget.
bound_ms=8000
# The emulated unit of a run and how long the run may take at most (a guard
# against hanging): both may be set for one run (scenario=FILE within=S run ...).
scenario=$work/scenario.json
within=60

say() { echo "usb_end_to_end: $*"; }
fail() {
  say "FAIL: $*" >&2
  failures=$((failures + 1))
}
cleanup() {
  local q
  for q in "${added[@]}"; do lpadmin -x "$q" >/dev/null 2>&1 || true; done
  rm -rf "$work"
}
trap cleanup EXIT

if ! lpstat -r 2>/dev/null | grep -q "scheduler is running"; then
  cupsd || { say "FAIL: cupsd is not running and cannot be started" >&2; exit 1; }
  for _ in $(seq 50); do lpstat -r 2>/dev/null | grep -q "scheduler is running" && break; sleep 0.1; done
fi
for q in "$queue:$uri" "$other:usb://Korvane/ORLAX%20PRO?serial=OTHER"; do
  lpadmin -p "${q%%:*}" -E -v "${q#*:}" -m raw 2>"$work/lpadmin.err" ||
    { cat "$work/lpadmin.err" >&2; say "FAIL: cannot add queue ${q%%:*}" >&2; exit 1; }
  added+=("${q%%:*}")
done

cat >"$work/scenario.json" <<JSON
{"record": {"firmwareVersion": "2.05", "leftBinOffset": 3, "printerOffset": -2, "disksPrinted": 77,
            "yellowSpitsA": 1520, "trayStatus": "O"}}
JSON
# A unit that passes the final check, and the device file the check sends to
# it, in a data folder for the emulated runs and one for the runs through CUPS.
cat >"$work/passing.json" <<JSON
{"record": {"firmwareVersion": "Not Set", "trayInSensorHigh": 200, "diskInSensorHigh": 180,
            "yellowSpitsA": 1520, "cyanSpitsB": 301, "disksPrinted": 1234, "disksPicked": 1240}}
JSON
mkdir -p "$work/emulated/Korvane/ORLAXPRO" "$work/station/Korvane/ORLAXPRO"
head -c 2500 /dev/urandom >"$work/emulated/Korvane/ORLAXPRO/fdefault.fzp"
cp "$work/emulated/Korvane/ORLAXPRO/fdefault.fzp" "$work/station/Korvane/ORLAXPRO/"
records() {  # the record lines the runs through CUPS wrote
  local log=$work/station/Korvane/ORLAXPRO/ORLAXPRO.log
  if [ -f "$log" ]; then wc -l <"$log"; else echo 0; fi
}

now_ms() { echo $(($(date +%s%N) / 1000000)); }

# run NAME EMULATOR_OPTIONS... -- SHELL_COMMAND: runs the command under the
# emulated unit; its output in $work/NAME.out, its status in $work/NAME.rc,
# and how long it took, printed.
run() {
  local name=$1
  shift
  local options=()
  while [ "$1" != "--" ]; do options+=("$1"); shift; done
  shift
  local start end status=0
  start=$(now_ms)
  timeout "$within" "$emulator" --usb --serial "$serial" --scenario "$scenario" --journal "$work/$name.journal" \
    "${options[@]}" -- sh -c "$1" >"$work/$name.out" 2>&1 || status=$?
  end=$(now_ms)
  local took
  took=$(sed -n 's/^ms=//p' "$work/$name.out")
  say "$name: exit $status in $((end - start)) ms${took:+, GET STATUS $took ms}"
  if [ "${took:-0}" -gt $bound_ms ]; then fail "$name: GET STATUS took $took ms"; fi
}
expect_code() {  # NAME CODE: the run failed with that code in the log
  local name=$1 code=$2
  grep -q "^rc=1$" "$work/$name.out" || fail "$name: orlaxctl did not fail: $(cat "$work/$name.out")"
  grep -q "GetLastError returned $code" "$work/$name.out" || fail "$name: no code $code: $(cat "$work/$name.out")"
}
expect_driver_back() {  # NAME: the kernel driver is bound again at the end
  [ "$(tail -1 "$work/$1.out")" = "usblp" ] || fail "$1: the kernel driver was not re-attached: $(tail -1 "$work/$1.out")"
}
# The dump and report, without the retry dots before the dump.
report() { sed -n '/Getting Printer Status/,$p' "$1" | grep -v "^orlaxctl:\|^rc=\|^ms=\|^usblp$" | sed 's/^\.*//'; }

# GET STATUS, its exit status and how long it took, the driver bound after.
timed() { echo "s=\$(date +%s%N); '$orlaxctl' queue $1 get-status; echo rc=\$?; echo ms=\$(( (\$(date +%s%N) - s) / 1000000 ))"; }
get_status="$(timed "$queue"); '$hold' --driver"
held_for() {  # MILLISECONDS: the interface held that long, then GET STATUS
  echo "'$hold' $1 '$work/ready' & while [ ! -e '$work/ready' ]; do sleep 0.02; done; $get_status; wait"
}

# The unit's own report, as the emulated spooler gives it.
"$orlaxctl" --emulate="$work/scenario.json" --fast get-status >"$work/expected.out" 2>&1
report "$work/expected.out" >"$work/expected.report"
[ -s "$work/expected.report" ] || fail "no report from orlaxctl --emulate"

run status -- "$get_status"
grep -q "^rc=0$" "$work/status.out" || fail "status: GET STATUS failed: $(cat "$work/status.out")"
report "$work/status.out" >"$work/status.report"
diff "$work/expected.report" "$work/status.report" >&2 || fail "status: the report over USB differs from the emulated unit's"
grep -qx "STATUS 100" "$work/status.journal" || fail "status: the unit journalled no status read"
expect_driver_back status

run backend -- "'$backend'"
grep -q "^direct $uri " "$work/backend.out" || fail "backend: CUPS's usb backend does not list $uri: $(cat "$work/backend.out")"

run other -- "$(timed "$other"); '$hold' --driver"
expect_code other 7024
expect_driver_back other

run busy -- "$(held_for 4000)"
expect_code busy 7025
[ ! -s "$work/busy.journal" ] || fail "busy: the unit answered while its interface was held"

run busy_then_free -- "$(held_for 700)"
grep -q "^rc=0$" "$work/busy_then_free.out" || fail "busy_then_free: GET STATUS failed: $(cat "$work/busy_then_free.out")"
grep -q "^\.\.*[0-9A-F][0-9A-F] " "$work/busy_then_free.out" || fail "busy_then_free: no read was retried while held"
report "$work/busy_then_free.out" | diff "$work/expected.report" - >&2 || fail "busy_then_free: another report"

run silent --silent -- "$get_status"
expect_code silent 7026
expect_driver_back silent

run unplugged --unplug-after 1 -- "$get_status"
expect_code unplugged 7024
[ ! -s "$work/unplugged.journal" ] || fail "unplugged: the unit answered"

# Jobs through cupsd's own usb backend: a cupsd of the test's own, started in
# the test bed, with a data folder of its own, where the usb quirk that
# orlax-station writes lands: the test writes none.
private=$work/cups
chmod 755 "$work"
test_bed_cupsd "$private"
quirks="$private/data/usb/orlax-pro.usb-quirks"

# station NAME SETUP COMMANDS: a script that starts the test's cupsd, sets the
# queue "unit" up with SETUP, runs COMMANDS and stops cupsd again.
station() {
  { test_bed_station "$private"; echo "$2"; echo "$3"; test_bed_stop; } >"$work/$1.sh"
}
by_station="'$station_tool' add unit; echo add_rc=\$?"
by_hand="lpadmin -p unit -E -v '$uri' -m raw 2>/dev/null"

# A station set up with orlax-station: every command within its normal
# bound (no slow notice), a passing unit's final check among them with its
# record written, the unit's journal as the emulated unit's.
actions=(clear-spits final-check disk-position type 1015 5 type 1001 -3 ok get-status)
"$orlaxctl" --emulate="$work/passing.json" --fast --journal "$work/expected.journal" --data-root "$work/emulated" \
  "${actions[@]}" >/dev/null 2>&1 || fail "jobs: orlaxctl --emulate failed"
station jobs "$by_station" "'$orlaxctl' --data-root '$work/station' queue unit ${actions[*]}; echo rc=\$?; echo left=\$(lpstat -o unit | wc -l); '$station_tool' check unit | grep USB"
scenario=$work/passing.json within=90 run jobs -- "bash '$work/jobs.sh'"
grep -q "^add_rc=0$" "$work/jobs.out" || fail "jobs: orlax-station add failed: $(head -5 "$work/jobs.out")"
grep -qx "0x1209 0x0001 unidir" "$quirks" || fail "jobs: orlax-station wrote no unidir quirk: $(cat "$quirks" 2>&1)"
grep -q "^rc=0$" "$work/jobs.out" || fail "jobs: orlaxctl through cupsd failed: $(tail -5 "$work/jobs.out")"
grep -q "^left=0$" "$work/jobs.out" || fail "jobs: jobs left in the queue"
! grep -q "is slow" "$work/jobs.out" || fail "jobs: a command took longer than its normal bound: $(grep "is slow" "$work/jobs.out")"
[ "$(grep -c "^ok    USB" "$work/jobs.out")" -eq 4 ] || fail "jobs: check does not pass the USB items: $(grep USB "$work/jobs.out")"
[ "$(records)" -eq 1 ] || fail "jobs: the final check wrote $(records) record lines, not 1"
# orlax-station add and check each read the status once, before and after.
{ echo "STATUS 100"; sed 's/^JOB "[^"]*"/JOB ""/' "$work/expected.journal"; echo "STATUS 100"; } |
  diff - "$work/jobs.journal" >&2 || fail "jobs: the unit saw other exchanges through cupsd's usb backend than the emulated unit"

# The same unit's final check on a queue made by hand, without the quirk:
# CUPS's usb backend waits for its read-back after each job; the commands
# and the factory set-up still get through, slowly, the record is written,
# and the first slow job names the cause and the fix, once. check
# lists each broken item of the station (the queue also stopped, no data
# folder).
rm -f "$quirks"
slow_actions=(calibrate-last-disk final-check get-status)
"$orlaxctl" --emulate="$work/passing.json" --fast --journal "$work/expected_slow.journal" --data-root "$work/emulated" \
  "${slow_actions[@]}" >/dev/null 2>&1 || fail "slow: orlaxctl --emulate failed"
station slow "$by_hand" "'$orlaxctl' --data-root '$work/station' queue unit ${slow_actions[*]}; echo rc=\$?; cupsdisable unit; '$station_tool' --data-root '$work/nowhere' check unit; echo check_rc=\$?"
scenario=$work/passing.json within=150 run slow -- "bash '$work/slow.sh'"
grep -q "^rc=0$" "$work/slow.out" || fail "slow: orlaxctl on a hand-made queue failed: $(tail -5 "$work/slow.out")"
[ "$(records)" -eq 2 ] || fail "slow: the final check did not write its record line"
[ "$(grep -c "is slow: CUPS's usb backend waits about 8 s .*orlax-station add unit" "$work/slow.out")" -eq 1 ] ||
  fail "slow: the cause and the fix are not named once: $(grep -i slow "$work/slow.out")"
{ sed 's/^JOB "[^"]*"/JOB ""/' "$work/expected_slow.journal"; echo "STATUS 100"; } | diff - "$work/slow.journal" >&2 ||
  fail "slow: the unit saw other exchanges than the emulated unit"
grep -q "^check_rc=1$" "$work/slow.out" || fail "slow: check passed a broken station"
for item in "queue enabled" "USB prompt delivery" "data folder"; do
  grep -q "^FAIL  $item: .* -- fix: " "$work/slow.out" || fail "slow: check does not list '$item' with its fix"
done
for item in "print server" "queue" "status read" "USB device access"; do
  grep -q "^ok    $item" "$work/slow.out" || fail "slow: check does not pass '$item'"
done

# A unit that takes a command's bytes and never finishes their transfer:
# CUPS never completes the job; the tool says the unit may have it (7030),
# and the unit's journal indeed has it.
station maybe "$by_station" "'$orlaxctl' queue unit calibrate-last-disk; echo rc=\$?; echo left=\$(lpstat -o unit | wc -l)"
run maybe --hang-jobs -- "bash '$work/maybe.sh'"
grep -q "^rc=1$" "$work/maybe.out" || fail "maybe: orlaxctl did not fail: $(tail -5 "$work/maybe.out")"
grep -q "error 7030: .* the unit may have it" "$work/maybe.out" || fail "maybe: not told as maybe delivered: $(grep error "$work/maybe.out")"
grep -q "^JOB \"\" 8 " "$work/maybe.journal" || fail "maybe: the unit did not journal the command it took"
grep -q "^left=0$" "$work/maybe.out" || fail "maybe: the job was not withdrawn"
! grep -q "never reach" "$work/maybe.out" || fail "maybe: said never to reach the unit"

# The spooler contract on the usb:// queue, through the same cupsd: the status
# over USB, the jobs through cupsd's usb backend.
station contract "$by_station" "export ORLAX_CONTRACT_QUEUE=unit CI=true; '$contract_tests' --gtest_filter='SpoolerContract/CupsLoopback.*'; echo rc=\$?"
run contract -- "bash '$work/contract.sh'"
grep -q "^rc=0$" "$work/contract.out" ||
  fail "contract: the spooler contract on the usb:// queue: $(grep -E 'FAILED|Failure|Expected|Which is' "$work/contract.out" | head -12)"
grep -q "PASSED" "$work/contract.out" || fail "contract: no contract case ran"

if [ "$failures" -gt 0 ]; then
  say "$failures failure(s)"
  exit 1
fi
say "all passed"
