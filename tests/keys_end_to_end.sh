#!/usr/bin/env bash
# Real key presses on the program's window: a tap of space chooses new targets at once, a held
# space chooses once, the timed choices keep their two-second rhythm around presses, other
# keys change nothing, and a flood of presses leaves memory flat.
# Usage: keys_end_to_end.sh PATH_TO_BEZIER2D PATH_TO_RAND_TRACER
set -euo pipefail

source "$(dirname "$0")/e2e_common.sh"

xdotool windowfocus --sync "$window"
rss_kb() { awk '/^VmRSS/ { print $2 }' "/proc/$program/status"; }

# The curves start on their targets and hold still: a tap sets them moving before the first
# timed choice.
sleep 0.3
still=$(shot)
[ "$(retargets)" -eq 0 ] || fail "a retarget came before two seconds"
xdotool key space
wait_for_retarget_after 0
sleep 0.3
[ "$(retargets)" -eq 1 ] || fail "one tap gave $(retargets) retargets"
[ "$(shot)" != "$still" ] || fail "the picture did not move after a tap"

# Wait for a timed choice, then press keys one second after it, away from the timer's marks.
# The times of the presses are kept, to tell the timed choices from the pressed ones.
# Sets gained to the number of retargets that follow within 0.3 s of the command's end.
presses=()
press_after_next_timed_choice() {
  wait_for_retarget_after "$(retargets)"
  sleep 1
  presses+=("$(now_ms)")
  local before
  before=$(retargets)
  "$@"
  sleep 0.3
  gained=$(($(retargets) - before))
}

press_after_next_timed_choice xdotool key space
[ "$gained" -eq 1 ] || fail "a tap gave $gained retargets"
# The hold spans the next timed choice: one retarget from the key, one from the timer.
press_after_next_timed_choice bash -c 'xdotool keydown space; sleep 1.5; xdotool keyup space'
[ "$gained" -eq 2 ] || fail "a 1.5 s hold gave $((gained - 1)) key retargets"
press_after_next_timed_choice xdotool key Escape q a Return
[ "$gained" -eq 0 ] || fail "keys other than space changed the targets"

# The timed choices, without the pressed ones, stay just over two seconds apart.
previous=""
while read -r at; do
  pressed=no
  for press in "${presses[@]}"; do
    [ "$at" -ge "$press" ] && [ "$at" -lt $((press + 300)) ] && pressed=yes
  done
  [ "$pressed" = yes ] && continue
  if [ -n "$previous" ]; then
    gap=$((at - previous))
    [ "$gap" -ge 2000 ] && [ "$gap" -le 2600 ] || fail "timed choices $gap ms apart"
  fi
  previous=$at
done < <(retarget_times | tail -n +2)

# A flood of presses: at most one retarget each (GLUT drops a press that lands in the same
# millisecond as the previous release, taking it for key repeat), and memory stays flat.
rss_before=$(rss_kb)
before=$(retargets)
started=$(now_ms)
xdotool key --delay 4 $(printf 'space %.0s' $(seq 300))
sleep 0.5
flood=$(($(retargets) - before))
timed=$((($(now_ms) - started) / 2000 + 1))
[ "$flood" -gt 0 ] && [ "$flood" -le $((300 + timed)) ] || fail "300 presses gave $flood retargets"
rss_after=$(rss_kb)
echo "300 presses, $flood retargets; resident memory ${rss_before} kB before, ${rss_after} kB after"
[ $((rss_after - rss_before)) -lt 4096 ] || fail "memory grew during the flood"

expect_silent_and_running
echo "ok: space retargets once per press, other keys are ignored"
