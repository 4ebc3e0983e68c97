#!/bin/bash
# A unit's whole cycle at a set-up station - STARTUP, FIRMWARE UPDATE, SET
# FACTORY DEFAULTS, CLEAR SPITS and a passing FINAL CHECK in one orlaxctl
# run - through CUPS to an emulated unit, on a queue made by orlax-station
# add: a network unit (socket://, the system's cupsd) and a unit attached by
# USB (the umockdev test bed of orlax-emulator --usb, with a cupsd of its
# own whose usb backend delivers the jobs). The figure is the cycle's time
# less its fixed pauses: the tool's own share of a unit's cycle, CUPS's
# delivery of every job included. The pauses are timed as the same cycle on
# the emulated unit in real time (orlaxctl --emulate without --fast), whose
# own share is microseconds.
#
#   bench/unit_cycle.sh BUILD_DIR REPETITIONS
#
# Prints rows of the bench table (measurement | figure | reference |
# reference figure | ratio | goal | holds | spread) on stdout, a row n/a when
# its attachment cannot be set up. Exit status 1 when a goal does not hold.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=../tests/support/test_bed_cupsd.sh
. "$here/../tests/support/test_bed_cupsd.sh"

build=$1
repetitions=$2
orlaxctl=$build/orlaxctl
emulator=$build/orlax-emulator
station_tool=$build/orlax-station
goal=0.02
cycle=(startup firmware-update set-factory-defaults clear-spits final-check)

work=$(mktemp -d)
chmod 755 "$work"
emulator_pid=""
queue=""
cleanup() {
  if [ -n "$queue" ]; then
    cancel -a -x "$queue" >/dev/null 2>&1 || true
    lpadmin -x "$queue" >/dev/null 2>&1 || true
  fi
  if [ -n "$emulator_pid" ]; then kill "$emulator_pid" 2>/dev/null || true; wait "$emulator_pid" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT
say() { echo "unit_cycle.sh: $*" >&2; }
now_ms() { echo $(($(date +%s%N) / 1000000)); }

# A passing unit and its device files, of sizes a unit's files might have.
cat >"$work/passing.json" <<JSON
{"record": {"firmwareVersion": "Not Set", "trayInSensorHigh": 200, "diskInSensorHigh": 180,
            "yellowSpitsA": 1520, "cyanSpitsB": 301, "disksPrinted": 1234, "disksPicked": 1240}}
JSON
data=$work/data
mkdir -p "$data/Korvane/ORLAXPRO"
for file in firm.bin:65536 MarlithPro.Lod:524288 fupdate.fzp:262144 fdefault.fzp:16384; do
  head -c "${file#*:}" /dev/urandom >"$data/Korvane/ORLAXPRO/${file%%:*}"
done
chmod -R a+rwX "$data"

# row MEASUREMENT PAUSES_MS CYCLE_MS...: one table row from the cycles' times.
row() {
  local name=$1 pauses=$2
  shift 2
  printf '%s\n' "$@" | sort -n | awk -v name="$name" -v pauses="$pauses" -v goal="$goal" '
    { share[NR] = $1 - pauses; sum += share[NR] }
    END {
      n = NR
      median = n % 2 ? share[(n + 1) / 2] : (share[n / 2] + share[n / 2 + 1]) / 2
      mean = sum / n
      for (i = 1; i <= n; ++i) var += (share[i] - mean) ^ 2
      spread = mean > 0 ? 100 * sqrt(var / n) / mean : 0
      ratio = median / pauses
      printf "| %s | %.2f s | the cycle'"'"'s fixed pauses | %.2f s | %.4f | ≤ %g× | %s | %.0f%% |\n",
        name, median / 1000, pauses / 1000, ratio, goal, ratio <= goal ? "yes" : "no", spread
    }'
}
na() { echo "| $1 | n/a | the cycle's fixed pauses | - | n/a | ≤ ${goal}× | - | - |"; }

# --- the pauses: the cycle on the emulated unit, in real time ---
start=$(now_ms)
"$orlaxctl" --emulate="$work/passing.json" --data-root "$data" "${cycle[@]}" >"$work/emulated.out" 2>&1 ||
  { say "the cycle on the emulated unit failed: $(tail -3 "$work/emulated.out")"; exit 2; }
pauses=$(($(now_ms) - start))
say "the cycle's pauses: $pauses ms"
status=0
holds() { case "$1" in *"| no |"*) status=1 ;; esac; echo "$1"; }

# --- a network unit: socket:// queue on the system's cupsd ---
socket_name="a unit's cycle on a socket:// queue made by orlax-station add, less its pauses"
"$emulator" --listen 127.0.0.1:0 --scenario "$work/passing.json" >"$work/emulator.out" 2>"$work/emulator.err" &
emulator_pid=$!
for _ in $(seq 100); do grep -q "listening on" "$work/emulator.out" && break; sleep 0.1; done
port=$(sed -n 's/^orlax-emulator: listening on 127\.0\.0\.1:\([0-9]*\)$/\1/p' "$work/emulator.out")
if [ -n "$port" ] && "$station_tool" add "orlax_cycle_$$" "socket://127.0.0.1:$port" >"$work/add.out" 2>&1; then
  queue="orlax_cycle_$$"
  times=()
  for _ in $(seq "$repetitions"); do
    start=$(now_ms)
    "$orlaxctl" --data-root "$data" queue "$queue" "${cycle[@]}" >"$work/socket.out" 2>&1 ||
      { say "the cycle on $queue failed: $(tail -3 "$work/socket.out")"; exit 2; }
    times+=($(($(now_ms) - start)))
  done
  say "socket:// cycles: ${times[*]} ms"
  line=$(row "$socket_name" "$pauses" "${times[@]}")
  holds "$line"
else
  say "no socket:// queue: $(cat "$work/add.out" "$work/emulator.err" 2>/dev/null | head -3)"
  na "$socket_name"
fi

# --- a unit attached by USB: the test bed's own cupsd ---
usb_name="a unit's cycle on a usb:// queue made by orlax-station add (test bed, cupsd's usb backend), less its pauses"
test_bed_cupsd "$work/cups"
{
  test_bed_station "$work/cups"
  echo "'$station_tool' add unit >'$work/usb-add.out' 2>&1 || echo add failed"
  echo "for i in \$(seq $repetitions); do"
  echo "  s=\$(date +%s%N); '$orlaxctl' --data-root '$data' queue unit ${cycle[*]} >'$work/usb.out' 2>&1 || echo cycle failed"
  echo "  echo cycle_ms=\$(( (\$(date +%s%N) - s) / 1000000 ))"
  echo "done"
  test_bed_stop
} >"$work/usb.sh"
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}verify_asan_link_order=0:detect_leaks=0"
"$emulator" --usb --serial "CYCLE 1" --scenario "$work/passing.json" -- bash "$work/usb.sh" >"$work/usb.log" 2>&1 || true
mapfile -t times < <(sed -n 's/^cycle_ms=//p' "$work/usb.log")
if grep -q "failed" "$work/usb.log" || [ "${#times[@]}" -ne "$repetitions" ]; then
  say "no USB cycle: $(grep -h . "$work/usb.log" "$work/usb-add.out" "$work/usb.out" 2>/dev/null | head -5)"
  na "$usb_name"
else
  say "usb:// cycles: ${times[*]} ms"
  line=$(row "$usb_name" "$pauses" "${times[@]}")
  holds "$line"
fi
exit "$status"
