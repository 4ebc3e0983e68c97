#!/bin/bash
# Runs every benchmark of the tool (build/bench/orlax_bench) and prints one
# table: each figure beside its reference measured in the same run, their
# ratio and whether the goal holds.
#
#   scripts/bench.sh [ORLAX_BENCH OPTIONS...]   e.g. --repetitions 9, --benchmark_filter=status
#
# It starts an orlax-emulator on a free loopback port for the network rows
# and, when CUPS can be used, a raw queue "orlax_bench_<pid>" whose device is
# that unit; the queue, its jobs and the unit are removed at the end. When no
# cupsd runs it starts one if root; without cupsd, or without the rights to
# add a queue, the CUPS rows show n/a.
#
# Exit status: 0 when every goal that could be measured holds, 1 when one
# does not, 2 when the benchmarks cannot run.
set -euo pipefail
cd "$(dirname "$0")/.."

build=${ORLAX_BUILD_DIR:-build}
bench="$build/bench/orlax_bench"
emulator="$build/orlax-emulator"

say() { echo "bench.sh: $*" >&2; }

for program in "$bench" "$emulator"; do
  if [ ! -x "$program" ]; then
    say "$program is not built: cmake --preset default && cmake --build --preset default" \
      "(the benchmarks need libbenchmark-dev)"
    exit 2
  fi
done

work=$(mktemp -d)
emulator_pid=""
started_cupsd=""
queue=""

cleanup() {
  if [ -n "$queue" ]; then
    cancel -a -x "$queue" >/dev/null 2>&1 || true
    lpadmin -x "$queue" >/dev/null 2>&1 || true
  fi
  if [ -n "$emulator_pid" ]; then
    kill "$emulator_pid" 2>/dev/null || true
    wait "$emulator_pid" 2>/dev/null || true
  fi
  if [ -n "$started_cupsd" ]; then
    kill "$started_cupsd" 2>/dev/null || true
    wait "$started_cupsd" 2>/dev/null || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT

# Waits up to $1 seconds for the command that follows to succeed.
wait_for() {
  local tries=$(($1 * 10))
  shift
  until "$@"; do
    tries=$((tries - 1))
    [ "$tries" -gt 0 ] || return 1
    sleep 0.1
  done
}

# --- the network unit ---
"$emulator" --listen 127.0.0.1:0 >"$work/emulator.out" 2>"$work/emulator.err" &
emulator_pid=$!
listening() { grep -q "listening on" "$work/emulator.out"; }
if ! wait_for 10 listening; then
  say "orlax-emulator did not start: $(cat "$work/emulator.err")"
  exit 2
fi
port=$(sed -n 's/^orlax-emulator: listening on 127\.0\.0\.1:\([0-9]*\)$/\1/p' "$work/emulator.out")
unit_args=(--unit "127.0.0.1:$port")

# --- CUPS: a raw queue to the unit, when cupsd runs (or can be started) ---
cupsd_running() { lpstat -r 2>/dev/null | grep -q "scheduler is running"; }
cups_args=()
cups_note=""
if ! command -v lpstat >/dev/null || ! command -v lpadmin >/dev/null || ! command -v lp >/dev/null; then
  cups_note="the CUPS client programs are not installed"
elif ! cupsd_running; then
  if [ "$(id -u)" -eq 0 ] && command -v cupsd >/dev/null; then
    say "starting cupsd"
    cupsd -f &
    started_cupsd=$!
    wait_for 15 cupsd_running || cups_note="the cupsd started here does not answer"
  else
    cups_note="no cupsd runs and only root can start one"
  fi
fi
if [ -z "$cups_note" ]; then
  candidate="orlax_bench_$$"
  if lpadmin -p "$candidate" -E -v "socket://127.0.0.1:$port" -m raw 2>"$work/lpadmin.err"; then
    queue=$candidate
    cups_args=(--queue "$queue")
  else
    cups_note="cannot add a queue: $(grep -v deprecated "$work/lpadmin.err" | head -n 1)"
  fi
fi

# --- the run ---
load_before=$(cut -d' ' -f1-3 /proc/loadavg)
say "running the benchmarks (a few minutes); their own output follows on stderr"
status=0
"$bench" --benchmark_enable_random_interleaving=true "${unit_args[@]}" "${cups_args[@]}" "$@" \
  >"$work/table.md" || status=$?
if [ "$status" -ge 2 ] || [ ! -s "$work/table.md" ]; then
  say "orlax_bench failed (exit $status)"
  exit 2
fi
cycles=${ORLAX_UNIT_CYCLES:-3}
if [ "$cycles" -gt 0 ] && [ -z "$cups_note" ]; then
  say "timing a unit's whole cycle through CUPS, $cycles on each attachment (about a minute each)"
  cycle_status=0
  bench/unit_cycle.sh "$build" "$cycles" >>"$work/table.md" || cycle_status=$?
  if [ "$cycle_status" -ge 2 ]; then say "the unit cycle rows failed (exit $cycle_status)"; exit 2; fi
  [ "$cycle_status" -eq 0 ] || status=1
fi
load_after=$(cut -d' ' -f1-3 /proc/loadavg)

cpu=$(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -n 1)
echo "Run of $(date -u '+%Y-%m-%d %H:%M UTC') on $(nproc) cores (${cpu:-unknown CPU}), $(uname -sr);" \
  "load average before $load_before, after $load_after."
[ -z "$cups_note" ] || echo "CUPS rows n/a: $cups_note."
echo
cat "$work/table.md"
echo
echo "Times are medians over the repetitions (spread: their coefficient of variation); peak memory is"
echo "the resident set's high-water mark of one run of each."
exit "$status"
