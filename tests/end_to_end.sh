#!/usr/bin/env bash
# The real program on the X display: one 720 x 540 window titled "2D Bezier Curve" at (0, 0),
# and nothing written to the console.
# Usage: end_to_end.sh PATH_TO_BEZIER2D
set -euo pipefail

work=$(mktemp -d)
"$1" >"$work/out" 2>"$work/err" &
program=$!
trap 'kill "$program" 2>/dev/null; rm -rf "$work"' EXIT

fail() { echo "FAIL: $*" >&2; exit 1; }

window=$(timeout 10 xdotool search --sync --onlyvisible --name '^2D Bezier Curve$') ||
  fail "no window titled '2D Bezier Curve'"
[ "$(echo "$window" | wc -l)" -eq 1 ] || fail "more than one window: $window"

info=$(xwininfo -id "$window")
field() { echo "$info" | sed -n "s/^ *$1: *//p"; }
[ "$(field 'Absolute upper-left X')" = 0 ] || fail "window x is $(field 'Absolute upper-left X')"
[ "$(field 'Absolute upper-left Y')" = 0 ] || fail "window y is $(field 'Absolute upper-left Y')"
[ "$(field Width)" = 720 ] || fail "width is $(field Width)"
[ "$(field Height)" = 540 ] || fail "height is $(field Height)"

sleep 1
kill -0 "$program" 2>/dev/null || fail "the program ended by itself"
[ ! -s "$work/out" ] || fail "wrote to stdout: $(head -c 200 "$work/out")"
[ ! -s "$work/err" ] || fail "wrote to stderr: $(head -c 200 "$work/err")"
echo "ok: one 720x540 window at (0, 0), silent"
