#!/usr/bin/env bash
# The real program as a person meets it, on the X display: one 720 x 540 window at (0, 0) that
# names its class and process to the desktop; space chooses new targets at once, a held space
# only once; the picture moves; nothing is written to the console; closing the window ends it
# with status 0. Without a display it stops with GLUT's message. Its random draws are traced
# (RAND_TRACE) to count and time the choices of new targets.
# SOAK_SECONDS=N replaces the key checks with N seconds of key presses, hiding, showing and
# stopping, and checks that resident memory stays flat. LAUNCHER runs the program under a tool
# (valgrind, say); PROGRAM_PRELOAD is preloaded into it as well.
# Usage: end_to_end.sh BEZIER2D RAND_TRACER
set -euo pipefail

fail() { echo "FAIL: $*" >&2 && exit 1; }

status=0
message=$(env -u DISPLAY "$1" 2>&1 >/dev/null) || status=$?
[ "$status" -ne 0 ] && [ "$status" -lt 128 ] && [[ "$message" == *"failed to open display"* ]] ||
  fail "without a display: status $status, message '$message'"

work=$(mktemp -d)
RAND_TRACE="$work/rand" LD_PRELOAD="${PROGRAM_PRELOAD:+$PROGRAM_PRELOAD:}$2" ${LAUNCHER:-} "$1" \
  >"$work/out" 2>"$work/err" &
program=$!
trap 'kill "$program" 2>/dev/null || true; rm -rf "$work"' EXIT

window=$(timeout 60 xdotool search --sync --all --onlyvisible --pid "$program" \
  --name '^2D Bezier Curve$') || fail "no window titled '2D Bezier Curve' from process $program"
place=$(xwininfo -id "$window" | awk '/Absolute upper-left|Width|Height/ { printf "%s ", $NF }')
[ "$place" = "0 0 720 540 " ] || fail "window x, y, width, height: $place"
[ "$(xprop -id "$window" WM_CLASS _NET_WM_PID)" = "WM_CLASS(STRING) = \"bezier2d\", \"bezier2d\"
_NET_WM_PID(CARDINAL) = $program" ] || fail "class and pid: $(xprop -id "$window" WM_CLASS _NET_WM_PID)"
xdotool windowfocus --sync "$window"

# The six curves made at start-up take 48 draws, each choice of new targets 24 more.
retarget_times() { awk 'NR > 48 && (NR - 48) % 24 == 1' "$work/rand"; }
retargets() { retarget_times | wc -l; }
wait_for_retarget_after() {
  for _ in $(seq 3000); do [ "$(retargets)" -le "$1" ] || return 0; sleep 0.02; done
  fail "no new targets for a minute after the ${1}th"
}

if [ -z "${SOAK_SECONDS:-}" ]; then
  # A timed choice comes two seconds after the first frame at the earliest, so a choice
  # sooner after start-up came from the key. A held key must not repeat: repeating, it would
  # choose about twenty times. (On a loaded machine freeglut can miss a repeat now and then,
  # and a timed choice may fall within the hold.)
  xdotool keydown space sleep 1.5 keyup space sleep 0.3
  wait_for_retarget_after 0
  [ $(($(retarget_times | head -n 1) - $(head -n 1 "$work/rand"))) -lt 2000 ] ||
    fail "space did not choose new targets at once"
  [ "$(retargets)" -le 5 ] || fail "a held space chose new targets $(retargets) times"

  before=$(xwd -silent -id "$window" | md5sum)
  sleep 0.5
  [ "$(xwd -silent -id "$window" | md5sum)" != "$before" ] || fail "the picture does not move"
else
  rss_kb() { awk '/^VmRSS/ { print $2 }' "/proc/$program/status"; }
  wait_for_retarget_after 0
  rss_start=$(rss_kb)
  end=$((SECONDS + SOAK_SECONDS))
  while [ "$SECONDS" -lt "$end" ]; do
    xdotool key --delay 40 $(printf 'space Escape q %.0s' $(seq 20)) windowunmap --sync "$window" \
      sleep 1 windowmap --sync "$window" windowfocus --sync "$window"
    kill -STOP "$program" && sleep 1 && kill -CONT "$program"
  done
  echo "soak: $(retargets) choices of new targets; resident memory $rss_start kB, then $(rss_kb) kB"
  # Under a launcher the process holds the launcher's own memory too, which grows as it works.
  [ -n "${LAUNCHER:-}" ] || [ $(($(rss_kb) - rss_start)) -lt 8192 ] ||
    fail "resident memory grew by more than 8 MB"
fi

kill -0 "$program" 2>/dev/null || fail "the program ended by itself"
/usr/bin/python3 "$(dirname "$0")/close_window.py" "$window"
status=0
wait "$program" || status=$?
[ "$status" -eq 0 ] || fail "closing the window ended the program with status $status"
[ ! -s "$work/out" ] && [ ! -s "$work/err" ] || fail "wrote to the console: $(cat "$work/out" "$work/err")"
echo "ok: $(retargets) choices of new targets; closed with status 0, nothing written"
