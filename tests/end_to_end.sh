#!/usr/bin/env bash
# The real program on the X display: one 720 x 540 window titled "2D Bezier Curve" at (0, 0)
# whose picture keeps changing, through an unmap and a stop of the process, nothing written to
# the console, and status 0 when the window is closed; without a display, GLUT's message and a
# non-zero status. Waits are generous so that a loaded machine does not fail it.
# Usage: end_to_end.sh PATH_TO_BEZIER2D PATH_TO_RAND_TRACER PATH_TO_CLOSE_WINDOW
set -euo pipefail

source "$(dirname "$0")/e2e_common.sh"

# Without a display: GLUT's message and a plain failure status, not a crash.
status=0
message=$(env -u DISPLAY "$1" 2>&1 >/dev/null) || status=$?
[ "$status" -ne 0 ] && [ "$status" -lt 128 ] || fail "status $status without a display"
[[ "$message" == *"failed to open display"* ]] || fail "no GLUT message without a display"

[ "$(echo "$window" | wc -l)" -eq 1 ] || fail "more than one window: $window"

info=$(xwininfo -id "$window")
field() { echo "$info" | sed -n "s/^ *$1: *//p"; }
[ "$(field 'Absolute upper-left X')" = 0 ] || fail "window x is $(field 'Absolute upper-left X')"
[ "$(field 'Absolute upper-left Y')" = 0 ] || fail "window y is $(field 'Absolute upper-left Y')"
[ "$(field Width)" = 720 ] || fail "width is $(field Width)"
[ "$(field Height)" = 540 ] || fail "height is $(field Height)"

# The curves start on their targets; the first new targets come two seconds in.
sleep 1
early=$(shot)
sleep 2.5
moving=$(shot)
[ "$moving" != "$early" ] || fail "the picture did not change after two seconds"
sleep 0.5
[ "$(shot)" != "$moving" ] || fail "the picture stopped changing"

# Hidden, the program goes on choosing targets; shown again, it is drawn and still moving.
xdotool windowunmap --sync "$window"
hidden=$(retargets)
sleep 2.5
[ "$(retargets)" -gt "$hidden" ] || fail "the animation stopped while the window was hidden"
xdotool windowmap --sync "$window"
sleep 0.2
before=$(shot)
sleep 0.5
[ "$(shot)" != "$before" ] || fail "the picture stood still after the window was shown again"

# After a 3 s stop the first step chooses new targets and lands on them (a long frame puts the
# curves exactly on their targets), so the picture holds still until the next choice.
kill -STOP "$program"
sleep 3
kill -CONT "$program"
sleep 0.3
resumed=$(shot)
sleep 1
[ "$(shot)" = "$resumed" ] || fail "the curves did not land on their targets after a stop"
sleep 2
[ "$(shot)" != "$resumed" ] || fail "the picture stopped changing after a stop"

expect_silent_and_running
close_and_expect_clean_exit
echo "ok: one 720x540 window at (0, 0), animating, silent, closes with status 0"
