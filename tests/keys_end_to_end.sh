#!/usr/bin/env bash
# Real key presses on the program's window: a tap of space chooses new targets at once, a held
# space chooses once, the timed choices keep their two-second rhythm around presses, and other
# keys change nothing. (The soak in script/sanitize floods the program with presses.)
# Usage: keys_end_to_end.sh PATH_TO_BEZIER2D PATH_TO_RAND_TRACER PATH_TO_CLOSE_WINDOW
set -euo pipefail

source "$(dirname "$0")/e2e_common.sh"

xdotool windowfocus --sync "$window"

# The curves normally start on their targets and hold still: a tap sets them moving before the
# first timed choice.
sleep 0.3
still=$(shot)
[ "$(retargets)" -eq 0 ] || fail "a retarget came before two seconds"
xdotool key space
wait_for_retarget_after 0
sleep 0.3
[ "$(retargets)" -eq 1 ] || fail "one tap gave $(retargets) retargets"
[ "$(shot)" != "$still" ] || fail "the picture did not move after a tap"

# Runs a command early in an interval of the two-second timer, 300 to 600 ms after the timed
# choice that opened it, and sets gained to the number of retargets within the interval.
# A choice made in the interval must not move the timer: the next timed choice still comes
# two seconds after the one that opened it, before two seconds after the press.
press_in_interval() {
  local opened pressed next
  while :; do
    wait_for_retarget_after "$(retargets)"
    opened=$(retarget_times | tail -n 1)
    while [ "$(now_ms)" -lt $((opened + 300)) ]; do sleep 0.02; done
    pressed=$(now_ms)
    [ "$pressed" -lt $((opened + 600)) ] && break
  done
  "$@"
  while [ "$(now_ms)" -lt $((opened + 2000)) ]; do sleep 0.05; done
  wait_for_retarget_after "$(retargets)"
  gained=$(retarget_times | awk -v from="$opened" -v to=$((opened + 2000)) '$1 > from && $1 < to' | wc -l)
  next=$(retarget_times | awk -v to=$((opened + 2000)) '$1 >= to' | head -n 1)
  [ "$next" -lt $((pressed + 2000)) ] || fail "a key press moved the timer: timed choices at $opened and $next"
}

press_in_interval xdotool key space
[ "$gained" -eq 1 ] || fail "a tap gave $gained retargets"
press_in_interval bash -c 'xdotool keydown space; sleep 1.5; xdotool keyup space'
[ "$gained" -eq 1 ] || fail "a 1.5 s hold gave $gained retargets"
press_in_interval xdotool key Escape q a Return
[ "$gained" -eq 0 ] || fail "keys other than space changed the targets"

expect_silent_and_running
echo "ok: space retargets once per press, other keys are ignored"
