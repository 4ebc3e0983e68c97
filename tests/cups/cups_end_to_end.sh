#!/bin/bash
# End to end through CUPS: orlax-emulator as a network unit on a free loopback
# port, busy for a few status reads after each command, a raw CUPS queue for
# it, and orlaxctl without --emulate running every operation on that queue.
# The unit must see through CUPS exactly the exchanges - status reads and
# jobs, byte for byte, in the same order - that the emulated unit of
# --emulate --journal sees; GET STATUS must print the same dump and report.
# orlaxctl goes on only once CUPS has delivered each job, so the unit has
# them all when it exits, and no job of ours is left in the queue. Then a
# paused queue, a queue that rejects jobs and a unit that is not there must
# fail in bounded time, with their causes, leaving no job behind; an unknown
# queue and a stopped unit must give their texts. A network unit that keeps
# the connection open after a job gets a command promptly on a queue set up
# by orlax-station add (its URI ends in /?waiteof=false); on a queue made by
# hand the command succeeds slowly, CUPS's socket backend waiting for the unit
# to close, and the fix is named once. That wait is up to 90 s a job: the
# unit here closes a held connection after 12 s idle, and one command shows it.
#
#   cups_end_to_end.sh ORLAXCTL ORLAX_EMULATOR ORLAX_STATION
#
# Uses the running cupsd; when none runs, starts one if root, else skips
# (exit 77). With CI=true a missing or dead cupsd is a failure, not a skip.
# Adding a queue needs CUPS administrator rights (root or the lpadmin group).
set -euo pipefail

orlaxctl=$1
emulator=$2
station_tool=$3
queue="orlax_e2e_$$"
work=$(mktemp -d)
started_cupsd=""
emulator_pid=""
queue_added=""
absent_added=""
absent_queue=""
busy_polls=2
held_pid=""
held_queues=()

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
  if [ -n "$absent_added" ]; then
    cancel -a "$absent_queue" >/dev/null 2>&1 || true
    lpadmin -x "$absent_queue" >/dev/null 2>&1 || true
  fi
  local q
  for q in "${held_queues[@]}"; do
    cancel -a "$q" >/dev/null 2>&1 || true
    lpadmin -x "$q" >/dev/null 2>&1 || true
  done
  if [ -n "$held_pid" ]; then kill "$held_pid" 2>/dev/null || true; wait "$held_pid" 2>/dev/null || true; fi
  if [ -n "$emulator_pid" ]; then kill "$emulator_pid" 2>/dev/null || true; wait "$emulator_pid" 2>/dev/null || true; fi
  if [ -n "$started_cupsd" ]; then kill "$started_cupsd" 2>/dev/null || true; wait "$started_cupsd" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT

# A loopback port on which nothing listens: the first of a range that
# refuses a connection.
closed_port() {
  local port
  for port in $(seq 40000 40100); do
    if ! (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null; then
      echo "$port"
      return
    fi
  done
  fail "no closed loopback port found"
}

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
echo "{\"busyPolls\": $busy_polls}" >"$work/unit-scenario.json"
"$emulator" --listen 127.0.0.1:0 --scenario "$work/unit-scenario.json" --journal "$work/unit.journal" >"$work/emulator.out" 2>"$work/emulator.err" &
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

# A journal's lines without the document name, which a job from the network
# does not carry: STATUS <length>, JOB <length> <hex or digest>.
exchanges_of() { sed 's/^JOB "[^"]*" /JOB /' "$1"; }
unit_lines() { wc -l <"$work/unit.journal"; }
# Our jobs still in the queue (pending, held or processing).
jobs_left() { lpstat -o "$1" 2>/dev/null | wc -l; }

# --- the queue list: "Lumetra PRO" first, then the CUPS queues ---
"$orlaxctl" list-queues >"$work/queues.txt" || fail "list-queues: exit $?"
[ "$(head -n 1 "$work/queues.txt")" = "Lumetra PRO" ] || fail "list-queues does not start with Lumetra PRO"
grep -qx "$queue" "$work/queues.txt" || fail "list-queues does not show $queue: $(cat "$work/queues.txt")"

# --- each operation: on the emulated unit, then on the unit through CUPS ---
# The device files, of sizes around the 1000-byte blocks they are sent in.
mkdir -p "$work/data/Korvane/ORLAXPRO"
size=999
for file in firm.bin MarlithPro.Lod fupdate.fzp fdefault.fzp orlax.prn; do
  head -c "$size" /dev/urandom >"$work/data/Korvane/ORLAXPRO/$file"
  size=$((size * 2 + 1))
done
step=0
# run_step NAME QUEUE SCENARIO_EXTRA ACTION...: the emulated run (scenario
# with SCENARIO_EXTRA, e.g. "queuePaused": true), then the run through CUPS;
# the same exit status, and the unit sees the same exchanges.
run_step() {
  step=$((step + 1))
  local name=$1 on_queue=$2 extra=$3
  shift 3
  local expected_status=0 status=0
  echo "{\"queues\": [\"$on_queue\"], \"busyPolls\": $busy_polls${extra:+, $extra}}" >"$work/scenario.$step.json"
  : >"$work/emulated.$step.journal"
  timeout 60 "$orlaxctl" --emulate="$work/scenario.$step.json" --fast --journal "$work/emulated.$step.journal" \
    --data-root "$work/data" queue "$on_queue" "$@" >"$work/emulated.$step.out" 2>"$work/emulated.$step.err" || expected_status=$?
  if [ "$expected_status" -eq 2 ]; then
    fail "$name: the emulated run is a usage error: $(cat "$work/emulated.$step.err")"
  fi
  # The unit is busy for the reads left from the last command of the step
  # before; the emulated unit starts idle.
  local read
  for read in $(seq "$busy_polls"); do "$orlaxctl" queue "$queue" get-status >/dev/null 2>&1 || true; done
  local before
  before=$(unit_lines)
  timeout 120 "$orlaxctl" --data-root "$work/data" queue "$on_queue" "$@" >"$work/cups.$step.out" 2>"$work/cups.$step.err" || status=$?
  [ "$status" -eq "$expected_status" ] ||
    fail "$name: exit $status through CUPS, $expected_status emulated; $(cat "$work/cups.$step.err")"

  exchanges_of "$work/emulated.$step.journal" >"$work/expected.$step"
  tail -n +"$((before + 1))" "$work/unit.journal" | exchanges_of /dev/stdin >"$work/received.$step"
  diff -u "$work/expected.$step" "$work/received.$step" >&2 ||
    fail "$name: the unit did not see through CUPS what the emulated unit saw"
  [ "$(jobs_left "$on_queue")" -eq 0 ] || fail "$name: jobs left in $on_queue: $(lpstat -o "$on_queue")"
  say "$name: exit $status, $(grep -c '^JOB' "$work/received.$step") jobs and $(grep -c '^STATUS' "$work/received.$step") status reads through CUPS as emulated"
}

run_step "GET STATUS" "$queue" "" get-status
diff -u "$work/emulated.$step.out" "$work/cups.$step.out" >&2 ||
  fail "GET STATUS through CUPS prints another dump or report than emulated"
run_step "CLEAR SPITS, RESTORE FACTORY, CLEAR SPITS" "$queue" "" clear-spits restore-factory clear-spits
run_step "SET OFFSETS" "$queue" "" set-offsets type 1029 -4 click 1020 ok
run_step "FINAL CHECK" "$queue" "" final-check
run_step "SEND TEST FILE" "$queue" "" send-test-file
run_step "DISK POSITION" "$queue" "" disk-position type 1015 5 type 1001 -3 ok
run_step "CALIBRATE LAST DISK" "$queue" "" calibrate-last-disk
run_step "TEST BINS" "$queue" "" test-bins
run_step "SET FACTORY DEFAULTS" "$queue" "" set-factory-defaults
run_step "STARTUP" "$queue" "" startup
run_step "FIRMWARE UPDATE" "$queue" "" firmware-update

# --- a network unit that keeps the connection open after a job ---
"$emulator" --listen 127.0.0.1:0 --keep-open --idle-limit 12 --journal "$work/held.journal" \
  >"$work/held.out" 2>"$work/held.err" &
held_pid=$!
held_listening() { grep -q "listening on" "$work/held.out"; }
wait_for 10 held_listening || fail "orlax-emulator --keep-open did not start: $(cat "$work/held.err")"
held_uri="socket://127.0.0.1:$(sed -n 's/^orlax-emulator: listening on 127\.0\.0\.1:\([0-9]*\)$/\1/p' "$work/held.out")"
prompt_queue="${queue}_station"
slow_queue="${queue}_by_hand"
held_queues=("$prompt_queue" "$slow_queue")
"$station_tool" add "$prompt_queue" "$held_uri" >"$work/add.out" 2>&1 || fail "orlax-station add: $(cat "$work/add.out")"
lpstat -v "$prompt_queue" | grep -q "$held_uri/?waiteof=false\$" || fail "orlax-station add: $(lpstat -v "$prompt_queue")"
lpadmin -p "$slow_queue" -E -v "$held_uri" -m raw 2>/dev/null || fail "lpadmin $slow_queue"
# held_command NAME QUEUE: one command job to the unit; its output in
# $work/NAME.err, the job in the unit's journal, none left in the queue.
held_command() {
  local jobs_before status=0 start
  jobs_before=$(grep -c "^JOB" "$work/held.journal" || true)
  start=$(date +%s%N)
  timeout 120 "$orlaxctl" queue "$2" calibrate-last-disk >"$work/$1.out" 2>"$work/$1.err" || status=$?
  took_ms=$((($(date +%s%N) - start) / 1000000))
  [ "$status" -eq 0 ] || fail "$1: exit $status: $(cat "$work/$1.err")"
  [ "$(grep -c "^JOB" "$work/held.journal")" -eq $((jobs_before + 1)) ] || fail "$1: the unit did not take the command"
  [ "$(jobs_left "$2")" -eq 0 ] || fail "$1: jobs left in $2"
  say "$1: the command delivered in $took_ms ms"
}
held_command "prompt delivery" "$prompt_queue"
grep -q "is slow" "$work/prompt delivery.err" && fail "prompt delivery: $(cat "$work/prompt delivery.err")"
held_command "slow delivery" "$slow_queue"
[ "$(grep -c "is slow: CUPS's socket backend waits up to 90 s .*'orlax-station add $slow_queue $held_uri/?waiteof=false' sets that" \
  "$work/slow delivery.err")" -eq 1 ] || fail "slow delivery: the cause and the fix are not named once: $(cat "$work/slow delivery.err")"
[ "$took_ms" -ge 10000 ] || fail "slow delivery: delivered in $took_ms ms, before the unit closed the connection"
# --- two runs on one unit: the second fails before it sends, naming the first ---
lockfile="/run/lock/orlax-queue-$queue.lock"
before=$(unit_lines)
"$orlaxctl" --data-root "$work/data" queue "$queue" test-bins >"$work/first.out" 2>"$work/first.err" &
first_pid=$!
holds_lock() { [ "$(cut -d' ' -f1 "$lockfile" 2>/dev/null)" = "$first_pid" ]; }
wait_for 10 holds_lock || fail "two runs: the first run took no lock in $lockfile"
status=0
start=$(date +%s%N)
timeout 30 "$orlaxctl" queue "$queue" clear-spits >"$work/second.out" 2>"$work/second.err" || status=$?
took_ms=$((($(date +%s%N) - start) / 1000000))
wait "$first_pid" || fail "two runs: the first run failed: $(cat "$work/first.err")"
[ "$status" -eq 1 ] || fail "two runs: the second run exited $status"
grep -q "error 7031: unit in use by PID $first_pid (orlaxctl)" "$work/second.err" ||
  fail "two runs: the second run does not name the first: $(cat "$work/second.err")"
grep -q "NOT OPENED: unit in use by PID $first_pid" "$work/second.out" ||
  fail "two runs: the second run's log does not say so: $(cat "$work/second.out")"
[ "$took_ms" -lt 6000 ] || fail "two runs: the second run took $took_ms ms to give up"
tail -n +"$((before + 1))" "$work/unit.journal" | grep -q "^JOB .* 8 1B0402" &&
  fail "two runs: the second run's command reached the unit: $(tail -n +"$((before + 1))" "$work/unit.journal"; cat "$work/second.out")"
[ "$(stat -c %a "$lockfile")" = 666 ] || fail "two runs: $lockfile is not open to every user"
say "two runs on one unit: the second gave up after $took_ms ms, naming the first"

# --- queues that would keep a job: it fails before anything is submitted ---
cupsdisable "$queue"
run_step "CLEAR SPITS on a paused queue" "$queue" '"queuePaused": true' clear-spits
grep -q "error 7018: the queue is paused" "$work/cups.$step.err" || fail "paused queue: $(cat "$work/cups.$step.err")"
cupsenable "$queue"
cupsreject "$queue"
run_step "SEND TEST FILE to a queue rejecting jobs" "$queue" '"queuePaused": true' send-test-file
grep -q "error 7019: the queue does not accept jobs" "$work/cups.$step.err" || fail "rejecting queue: $(cat "$work/cups.$step.err")"
grep -q "File sent ok" "$work/cups.$step.out" && fail "rejecting queue: the file is said to be sent"
cupsaccept "$queue"

# --- a unit that is not there: the job is not completed in its bound and is cancelled ---
absent_queue="${queue}_absent"
lpadmin -p "$absent_queue" -E -v "socket://127.0.0.1:$(closed_port)" -m raw 2>/dev/null || fail "lpadmin $absent_queue"
absent_added=yes
run_step "SEND TEST FILE to a unit that is not there" "$absent_queue" '"unitTakesJobs": false' send-test-file
grep -q "error 7020: .* had not begun sending it within .* can never reach the unit" "$work/cups.$step.err" || fail "absent unit: $(cat "$work/cups.$step.err")"
grep -q "File sent ok" "$work/cups.$step.out" && fail "absent unit: the file is said to be sent"

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
