#!/bin/bash
# orlax-burner on a real X server with a window manager, driven with real X
# input: burner_x11_test.sh ORLAX_BURNER CASE. Each case starts its own X
# server; see x11_session.sh.
BURNER=$1
CASE=$2
. "$(dirname "$0")/x11_session.sh"

[ -x "$BURNER" ] || fail "no program at $BURNER"

readonly MAIN_WINDOW=102 SET_OFFSETS=137
readonly GET_STATUS=1012 SET_OFFSETS_BUTTON=1011 QUEUE_SELECTOR=1001 RESTORE_FACTORY=1018
readonly LEFT_BIN=1014 MOVE_HOOK=1024 CANCEL=2
readonly MOVE_HOOK_PACKET=1B049600000000B5 HOOK_FINISH_PACKET=1B049700000000B6

count_after() { tail -n +$(($1 + 1)) "$TRACE" | grep -c -E "^[0-9]+ $2\$" || true; }

# SET OFFSETS open over the main window; prints the dialog's X window id.
open_set_offsets() {
  click_control "$MAIN" "$SET_OFFSETS_BUTTON" "$MAIN_WINDOW"
  window_of "$SET_OFFSETS"
}

# Starts the hook row's MOVE (a 3000 ms pause between its two commands) and
# returns once its handler runs and half a second of the pause has gone.
start_hook_move() {
  local offsets=$1
  START=$(trace_lines)
  click_control "$offsets" "$MOVE_HOOK" "$SET_OFFSETS"
  trace_time_after "$START" "run command 0 $MOVE_HOOK" 10
  sleep 0.5
  [ "$(count_after "$START" 'paused 3000')" = 0 ] || fail "the pause was over before the input was given"
}

# Visible windows of the program (its main window and, while open, a dialog
# or a selector's list).
visible_windows() { xdotool search --onlyvisible --pid "$BURNER_PID" 2>/dev/null | wc -l; }

# Escape, or a close request from the window manager (its Alt+F4), during
# a pause closes the dialog right after the pause's handler returns, with no
# further input.
closing_during_pause() {
  local keys=$1
  burner_start --emulate
  local offsets
  offsets=$(open_set_offsets)
  start_hook_move "$offsets"
  xdotool key "$keys"
  trace_time_after "$START" "paused 3000" 10
  local paused=$TRACE_TIME
  trace_time_after "$START" "returned command 0 $MOVE_HOOK" 10
  local returned=$TRACE_TIME
  trace_time_after "$START" "run command 0 $CANCEL" 5
  local cancelled=$TRACE_TIME
  trace_time_after "$START" "closed $SET_OFFSETS $CANCEL" 5
  echo "$keys taken $((cancelled - paused)) ms after the pause ended," \
    "$((cancelled - returned)) ms after the MOVE handler returned"
}
case_escape_during_pause() { closing_during_pause Escape; }
case_close_request_during_pause() { closing_during_pause alt+F4; }

# A second click on MOVE during the first one's pause runs the sequence
# again right after the first, in order, with no further input.
case_second_move_during_pause() {
  burner_start --emulate
  local offsets
  offsets=$(open_set_offsets)
  start_hook_move "$offsets"
  xdotool click 1 # the pointer has not moved: the same button
  trace_time_after "$START" "paused 3000" 10
  local paused=$TRACE_TIME
  trace_time_after "$START" "returned command 0 $MOVE_HOOK" 10
  local returned=$TRACE_TIME
  trace_time_after "$TRACE_LINE" "run command 0 $MOVE_HOOK" 5
  local again=$TRACE_TIME
  trace_time_after "$TRACE_LINE" "returned command 0 $MOVE_HOOK" 10
  local order
  order=$(grep -o -E "$MOVE_HOOK_PACKET|$HOOK_FINISH_PACKET" "$JOURNAL" | tr '\n' ' ')
  [ "$order" = "$MOVE_HOOK_PACKET $HOOK_FINISH_PACKET $MOVE_HOOK_PACKET $HOOK_FINISH_PACKET " ] ||
    fail "the unit got the hook commands as: $order"
  echo "second MOVE started $((again - paused)) ms after the first one's pause ended," \
    "$((again - returned)) ms after its handler returned"
}

# A click on GET STATUS while RESTORE FACTORY waits for a busy unit runs
# right after it; the wait's pauses are polls, not fixed pauses.
case_get_status_during_busy_wait() {
  printf '{"busyPolls": 8}\n' >"$X11_TMP/scenario.json"
  burner_start --emulate="$X11_TMP/scenario.json"
  click_control "$MAIN" "$RESTORE_FACTORY" "$MAIN_WINDOW" # the unit is busy for 8 polls after it
  trace_time_after 0 "returned command 0 $RESTORE_FACTORY" 10
  local from
  from=$TRACE_LINE
  click_control "$MAIN" "$RESTORE_FACTORY" "$MAIN_WINDOW"
  trace_time_after "$from" "polled 300" 10
  click_control "$MAIN" "$GET_STATUS" "$MAIN_WINDOW"
  trace_time_after "$from" "returned command 0 $RESTORE_FACTORY" 10
  local returned=$TRACE_TIME
  trace_time_after "$TRACE_LINE" "run command 0 $GET_STATUS" 5
  [ "$(count_after "$from" 'polled 300')" = 8 ] || fail "the busy wait was not 8 polls"
  [ "$(count_after "$from" 'paused [0-9]+')" = 0 ] || fail "a poll was taken for a fixed pause"
  echo "GET STATUS started $((TRACE_TIME - returned)) ms after RESTORE FACTORY returned"
}

# Opening the queue selector's list keeps the log (no kill-focus); choosing
# from it and then leaving the selector runs the kill-focus, before the click
# that left it.
case_list_opening_keeps_log() {
  printf '{"queues": ["Line 2", "Line 3"]}\n' >"$X11_TMP/scenario.json"
  burner_start --emulate="$X11_TMP/scenario.json"
  click_control "$MAIN" "$GET_STATUS" "$MAIN_WINDOW"
  trace_time_after 0 "returned command 0 $GET_STATUS" 10
  local before
  before=$(visible_windows)
  for opening in first second; do
    local from
    from=$(trace_lines)
    click_control "$MAIN" "$QUEUE_SELECTOR" "$MAIN_WINDOW" 8 # the arrow
    wait_until 5 test "$(visible_windows)" -gt "$before" || fail "the $opening opening showed no list"
    sleep 0.3
    xdotool key Escape
    wait_until 5 test "$(visible_windows)" -eq "$before" || fail "the list did not close"
    sleep 0.3
    [ "$(count_after "$from" "run command 4 $QUEUE_SELECTOR")" = 0 ] ||
      fail "the $opening opening of the list ran the selector's kill-focus"
  done
  local from
  from=$(trace_lines)
  click_control "$MAIN" "$QUEUE_SELECTOR" "$MAIN_WINDOW" 8
  wait_until 5 test "$(visible_windows)" -gt "$before" || fail "the list did not open"
  sleep 0.3
  xdotool key Down Down Return
  wait_until 5 test "$(visible_windows)" -eq "$before" || fail "the list did not close"
  sleep 0.3
  [ "$(count_after "$from" "run command 4 $QUEUE_SELECTOR")" = 0 ] || fail "choosing from the list ran the kill-focus"
  click_control "$MAIN" "$GET_STATUS" "$MAIN_WINDOW"
  trace_time_after "$from" "run command 4 $QUEUE_SELECTOR" 5
  local killFocus=$TRACE_LINE
  trace_time_after "$from" "run command 0 $GET_STATUS" 5
  [ "$TRACE_LINE" -gt "$killFocus" ] || fail "GET STATUS ran before the selector's kill-focus"
}

# Another program taking the focus takes the typed value of the field that
# had it: the unit gets it.
case_field_taken_when_another_program_takes_focus() {
  command -v xmessage >/dev/null || fail "xmessage is missing (package x11-utils)"
  burner_start --emulate
  local offsets
  offsets=$(open_set_offsets)
  local from
  from=$(trace_lines)
  xdotool key ctrl+a
  xdotool type -- "-5"
  xmessage -title orlax-other-program "another program" >/dev/null 2>&1 &
  X11_PIDS+=($!)
  local other
  other=$(timeout 10 xdotool search --sync --name '^orlax-other-program$' | head -1) ||
    fail "the other program's window did not show"
  xdotool windowactivate --sync "$other"
  trace_time_after "$from" "returned command 512 $LEFT_BIN" 5
  # SetPositionOffset, left bin, -5.
  wait_until 5 grep -q '1B040800FB000022' "$JOURNAL" || fail "the unit did not get the left bin offset -5"
}

x11_start
"case_$CASE"
echo "PASS: $CASE"
