# Sourced by the X11 tests: a private X server (Xvfb on a free display) with
# a window manager (openbox), orlax-burner on an emulated unit in it, and the
# helpers that drive it with real X input (xdotool) and read what it did:
# its trace (ORLAX_BURNER_TRACE: windows, controls, handlers, pauses) and the
# unit's journal (--journal). Everything started here is stopped on exit.
# A missing tool is a failure, never a skip.

set -euo pipefail

X11_TMP=$(mktemp -d "${TMPDIR:-/tmp}/orlax-x11.XXXXXX")
X11_PIDS=()
TRACE="$X11_TMP/trace"
JOURNAL="$X11_TMP/journal"
BURNER_PID=

x11_cleanup() {
  local pid
  for ((i = ${#X11_PIDS[@]} - 1; i >= 0; i--)); do
    pid=${X11_PIDS[i]}
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  done
  rm -rf "$X11_TMP"
}
trap x11_cleanup EXIT

fail() {
  echo "FAIL: $*" >&2
  if [ -s "$TRACE" ]; then echo "--- trace" >&2; cat "$TRACE" >&2; fi
  if [ -s "$JOURNAL" ]; then echo "--- journal" >&2; cat "$JOURNAL" >&2; fi
  exit 1
}

# Runs "$@" every 50 ms until it succeeds, for at most $1 seconds.
wait_until() {
  local seconds=$1
  shift
  local tries=$((seconds * 20))
  while ! "$@" 2>/dev/null; do
    tries=$((tries - 1))
    [ "$tries" -gt 0 ] || return 1
    sleep 0.05
  done
}

# Xvfb picks a free display and writes its number once it takes clients; it
# never resets (a reset, when its last client leaves, drops whoever connects
# meanwhile: the window manager, after the check below).
xvfb_start() {
  Xvfb -displayfd 3 -noreset -nolisten tcp -screen 0 1024x768x24 -dpi 96 3>"$X11_TMP/display" \
    >"$X11_TMP/xvfb.log" 2>&1 &
  X11_PIDS+=($!)
  wait_until 15 grep -q '[0-9]' "$X11_TMP/display" || fail "Xvfb did not start: $(cat "$X11_TMP/xvfb.log")"
  export DISPLAY=":$(tr -dc 0-9 <"$X11_TMP/display")"
  wait_until 5 xprop -root -len 0 >/dev/null || fail "Xvfb on $DISPLAY takes no client: $(cat "$X11_TMP/xvfb.log")"
}

x11_start() {
  local tool
  for tool in Xvfb openbox xdotool xprop; do
    command -v "$tool" >/dev/null || fail "$tool is missing (scripts/install-deps.sh installs it)"
  done
  xvfb_start
  openbox --sm-disable >"$X11_TMP/openbox.log" 2>&1 &
  X11_PIDS+=($!)
  wait_until 15 sh -c 'xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id"' ||
    fail "openbox did not start: $(cat "$X11_TMP/openbox.log")"
  keyboard_ready
}

# The first key from xdotool's device switches the server's keyboard over to
# it; the window manager takes its key bindings again meanwhile, and a key
# that comes then goes to the window with the focus instead (an Alt+F4 that
# closes nothing). Press the window manager's show-desktop key (Super+D)
# until it answers, then press it back: its bindings hold from here on.
keyboard_ready() {
  local showing=
  for _ in 1 2 3 4 5 6 7 8 9 10; do
    xdotool key super+d
    if wait_until 1 sh -c 'xprop -root _NET_SHOWING_DESKTOP | grep -q "= 1"'; then showing=1; break; fi
  done
  [ -n "$showing" ] || fail "openbox does not take its key bindings (Super+D)"
  xdotool key super+d
  wait_until 5 sh -c 'xprop -root _NET_SHOWING_DESKTOP | grep -q "= 0"' ||
    fail "openbox did not leave the desktop shown (Super+D)"
}

# Starts orlax-burner ($BURNER) on the emulated unit with the extra arguments
# given, and waits for its main window.
burner_start() {
  mkdir -p "$X11_TMP/data"
  QT_QPA_PLATFORM=xcb ORLAX_BURNER_TRACE="$TRACE" \
    "$BURNER" --journal "$JOURNAL" --data-root "$X11_TMP/data" "$@" >"$X11_TMP/burner.log" 2>&1 &
  BURNER_PID=$!
  X11_PIDS+=("$BURNER_PID")
  MAIN=$(window_of 102)
}

# The trace from the last showing of window $1 (template id) on.
since_shown() {
  local n
  n=$(grep -n -E "^[0-9]+ shown $1 " "$TRACE" | tail -1 | cut -d: -f1)
  [ -n "$n" ] && tail -n +"$n" "$TRACE"
}

# Waits until window $1 (template id) is shown and has the focus; prints its
# X window id.
window_of() {
  local template=$1 window
  wait_until 20 grep -q "^[0-9]* shown $template " "$TRACE" || fail "window $template did not open"
  window=$(since_shown "$template" | awk 'NR == 1 { print $4 }')
  wait_until 10 sh -c "[ \"\$(xdotool getactivewindow)\" = $window ]" ||
    fail "window $template did not get the focus"
  echo "$window"
}

# Moves the pointer over control $2 of window $1 (X id; template id $3) and
# clicks it with real X input. $4, when given, is the x offset from the
# control's right edge (for a selector's arrow), else its middle.
click_control() {
  local window=$1 id=$2 template=$3 fromRight=${4:-}
  local x= y= w= h=
  read -r x y w h < <(since_shown "$template" | awk -v id="$id" '$2 == "control" && $3 == id { print $4, $5, $6, $7 }') || true
  [ -n "$w" ] || fail "window $template has no control $id"
  local cx=$((x + w / 2)) cy=$((y + h / 2))
  [ -n "$fromRight" ] && cx=$((x + w - fromRight))
  xdotool mousemove --window "$window" "$cx" "$cy" click 1
}

# Time (ms of the trace) of the first line after line number $1 that matches
# the regular expression $2, waiting for it at most $3 seconds; fails when it
# does not come.
trace_time_after() {
  local from=$1 pattern=$2 seconds=$3 line
  wait_until "$seconds" sh -c "tail -n +$((from + 1)) '$TRACE' | grep -q -E '^[0-9]+ $pattern\$'" ||
    fail "no '$pattern' in the trace within $seconds s"
  line=$(tail -n +$((from + 1)) "$TRACE" | grep -n -E "^[0-9]+ $pattern\$" | head -1)
  TRACE_LINE=$((from + ${line%%:*}))
  TRACE_TIME=$(echo "${line#*:}" | awk '{ print $1 }')
}

trace_lines() { wc -l <"$TRACE"; }
