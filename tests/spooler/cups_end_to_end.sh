#!/bin/bash
# End to end through CUPS: orlax-emulator as a network unit on a free loopback
# port, a raw CUPS queue for it, and orlaxctl without --emulate running GET
# STATUS, CLEAR SPITS, SET OFFSETS and FINAL CHECK on that queue. Every
# operation must send the unit through CUPS, byte for byte, the jobs that it
# sends to the emulated unit of --emulate; GET STATUS must print the same dump
# and report. The other operations, device files included, follow. Then an
# unknown queue and a stopped unit must give their texts.
#
#   cups_end_to_end.sh ORLAXCTL ORLAX_EMULATOR
#
# Uses the running cupsd; when none runs, starts one if root, else skips
# (exit 77). With CI=true a missing or dead cupsd is a failure, not a skip.
# Adding a queue needs CUPS administrator rights (root or the lpadmin group).
set -euo pipefail

orlaxctl=$1
emulator=$2
queue="orlax_e2e_$$"
work=$(mktemp -d)
started_cupsd=""
emulator_pid=""
queue_added=""
delivery_wait_s=30

say() { echo "cups_end_to_end: $*"; }
fail() {
  say "FAIL: $*" >&2
  exit 1
}
# Outside CI a missing means to run is a skip; in CI it is a failure.
cannot_run() {
  if [ "${CI:-}" = "true" ]; then fail "$*"; fi
  say "SKIP: $*"
  exit 77
}

cleanup() {
  if [ -n "$queue_added" ]; then
    cancel -a "$queue" >/dev/null 2>&1 || true
    lpadmin -x "$queue" >/dev/null 2>&1 || true
  fi
  if [ -n "$emulator_pid" ]; then kill "$emulator_pid" 2>/dev/null || true; wait "$emulator_pid" 2>/dev/null || true; fi
  if [ -n "$started_cupsd" ]; then kill "$started_cupsd" 2>/dev/null || true; wait "$started_cupsd" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT

cupsd_running() { lpstat -r 2>/dev/null | grep -q "scheduler is running"; }

# Waits up to $1 seconds for the command that follows to succeed.
wait_for() {
  local seconds=$1
  shift
  local tries=$((seconds * 10))
  while ! "$@"; do
    tries=$((tries - 1))
    [ "$tries" -gt 0 ] || return 1
    sleep 0.1
  done
}

# --- one run of this test at a time on this machine (they share cupsd) ---
lock="${TMPDIR:-/tmp}/orlax-cups-end-to-end.lock"
{ exec 9>>"$lock"; } 2>/dev/null || exec 9<"$lock" # another user's lock can still be read, and locked
flock -w 240 9 || fail "another run of this test holds the lock"

# --- cupsd ---
command -v lpstat >/dev/null && command -v lpadmin >/dev/null || cannot_run "the CUPS client programs are not installed"
if ! cupsd_running; then
  if [ "$(id -u)" -ne 0 ]; then cannot_run "no cupsd is running and only root can start one"; fi
  command -v cupsd >/dev/null || cannot_run "cupsd is not installed"
  say "starting cupsd"
  cupsd -f &
  started_cupsd=$!
  wait_for 15 cupsd_running || fail "the cupsd started here does not answer"
fi

# --- the network unit ---
"$emulator" --listen 127.0.0.1:0 --journal "$work/unit.journal" >"$work/emulator.out" 2>"$work/emulator.err" &
emulator_pid=$!
listening() { grep -q "listening on" "$work/emulator.out"; }
wait_for 10 listening || fail "orlax-emulator did not start: $(cat "$work/emulator.err")"
port=$(sed -n 's/^orlax-emulator: listening on 127\.0\.0\.1:\([0-9]*\)$/\1/p' "$work/emulator.out")
[ -n "$port" ] || fail "no port in: $(cat "$work/emulator.out")"

if ! lpadmin -p "$queue" -E -v "socket://127.0.0.1:$port" -m raw 2>"$work/lpadmin.err"; then
  if [ "$(id -u)" -ne 0 ]; then cannot_run "cannot add a queue without CUPS administrator rights: $(cat "$work/lpadmin.err")"; fi
  fail "lpadmin: $(cat "$work/lpadmin.err")"
fi
queue_added=yes
say "queue $queue -> socket://127.0.0.1:$port"

# The unit's JOB lines with the bytes only ("<length> <hex or digest>").
jobs_of() { sed -n 's/^JOB "[^"]*" //p' "$1"; }
job_count() { jobs_of "$work/unit.journal" | wc -l; }

# --- the queue list: "Lumetra PRO" first, then the CUPS queues ---
"$orlaxctl" list-queues >"$work/queues.txt" || fail "list-queues: exit $?"
[ "$(head -n 1 "$work/queues.txt")" = "Lumetra PRO" ] || fail "list-queues does not start with Lumetra PRO"
grep -qx "$queue" "$work/queues.txt" || fail "list-queues does not show $queue: $(cat "$work/queues.txt")"

# --- each operation: on the emulated unit, then on the unit through CUPS ---
echo "{\"queues\": [\"$queue\"]}" >"$work/scenario.json"
# The device files, of sizes around the 1000-byte blocks they are sent in.
mkdir -p "$work/data/Korvane/ORLAXPRO"
size=999
for file in firm.bin MarlithPro.Lod fupdate.fzp fdefault.fzp orlax.prn; do
  head -c "$size" /dev/urandom >"$work/data/Korvane/ORLAXPRO/$file"
  size=$((size * 2 + 1))
done
delivered=0
step=0
run_step() {
  step=$((step + 1))
  local name=$1
  shift
  local expected_status=0 status=0
  : >"$work/emulated.$step.journal"
  timeout 60 "$orlaxctl" --emulate="$work/scenario.json" --fast --journal "$work/emulated.$step.journal" \
    --data-root "$work/data" queue "$queue" "$@" >"$work/emulated.$step.out" 2>"$work/emulated.$step.err" || expected_status=$?
  if [ "$expected_status" -eq 2 ]; then
    say "skipping $name: $(cat "$work/emulated.$step.err")"
    return
  fi
  timeout 120 "$orlaxctl" --data-root "$work/data" queue "$queue" "$@" >"$work/cups.$step.out" 2>"$work/cups.$step.err" || status=$?
  [ "$status" -eq "$expected_status" ] ||
    fail "$name: exit $status through CUPS, $expected_status emulated; $(cat "$work/cups.$step.err")"

  jobs_of "$work/emulated.$step.journal" >"$work/expected.$step.jobs"
  local count
  count=$(wc -l <"$work/expected.$step.jobs")
  delivered=$((delivered + count))
  job_count_reached() { [ "$(job_count)" -ge "$delivered" ]; }
  wait_for "$delivery_wait_s" job_count_reached ||
    fail "$name: the unit got $(job_count) jobs of $delivered within ${delivery_wait_s}s"
  jobs_of "$work/unit.journal" | tail -n "$count" >"$work/received.$step.jobs"
  diff -u "$work/expected.$step.jobs" "$work/received.$step.jobs" >&2 ||
    fail "$name: the unit did not get the emulated unit's jobs"
  say "$name: exit $status, $count jobs through CUPS as emulated"
}

run_step "GET STATUS" get-status
diff -u "$work/emulated.$step.out" "$work/cups.$step.out" >&2 ||
  fail "GET STATUS through CUPS prints another dump or report than emulated"
run_step "CLEAR SPITS" clear-spits
run_step "SET OFFSETS" set-offsets type 1029 -4 click 1020 ok
run_step "FINAL CHECK" final-check
run_step "SEND TEST FILE" send-test-file
run_step "DISK POSITION" disk-position type 1015 5 type 1001 -3 ok
run_step "CALIBRATE LAST DISK" calibrate-last-disk
run_step "TEST BINS" test-bins
run_step "RESTORE FACTORY" restore-factory
run_step "SET FACTORY DEFAULTS" set-factory-defaults
run_step "STARTUP" startup
run_step "FIRMWARE UPDATE" firmware-update
[ "$(job_count)" -eq "$delivered" ] || fail "the unit got $(job_count) jobs, $delivered expected"

# --- an unknown queue, then a stopped unit ---
status=0
timeout 30 "$orlaxctl" queue "orlax_no_such_queue_$$" get-status >"$work/unknown.out" 2>&1 || status=$?
[ "$status" -eq 1 ] || fail "unknown queue: exit $status"
grep -q "Printer Open Error !!" "$work/unknown.out" || fail "unknown queue: $(cat "$work/unknown.out")"

kill -TERM "$emulator_pid"
status=0
wait "$emulator_pid" || status=$?
emulator_pid=""
[ "$status" -eq 0 ] || fail "orlax-emulator exited with $status on SIGTERM"
status=0
timeout 30 "$orlaxctl" queue "$queue" get-status >"$work/stopped.out" 2>&1 || status=$?
[ "$status" -eq 1 ] || fail "stopped unit: exit $status"
grep -q "No Status Data Returned" "$work/stopped.out" &&
  grep -q "Read failed: GetLastError returned 7013" "$work/stopped.out" ||
  fail "stopped unit: $(cat "$work/stopped.out")"

say "PASS"
