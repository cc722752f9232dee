#!/usr/bin/env bash
# The real program under valgrind memcheck for a few seconds of animation, then the window is
# closed: no invalid reads or writes, no use of undefined values, and no definite leaks but
# the GL driver's own (valgrind.supp). The scene lives until exit by design.
# Usage: PROGRAM_PRELOAD=PATH_TO_MESA_DRIVER memcheck.sh PATH_TO_BEZIER2D PATH_TO_CLOSE_WINDOW
set -euo pipefail

work=$(mktemp -d)
LD_PRELOAD="$PROGRAM_PRELOAD" valgrind --leak-check=full --errors-for-leak-kinds=definite --error-exitcode=99 \
  --suppressions="$(dirname "$0")/valgrind.supp" --num-callers=40 --log-file="$work/log" \
  "$1" >"$work/out" 2>"$work/err" &
program=$!
trap 'kill "$program" 2>/dev/null || true; rm -rf "$work"' EXIT

fail() {
  echo "FAIL: $*" >&2
  [ -f "$work/log" ] && tail -n 60 "$work/log" >&2
  exit 1
}

window=$(timeout 120 xdotool search --sync --onlyvisible --name '^2D Bezier Curve$') ||
  fail "no window under valgrind"
sleep 5
"$2" "$window"
status=0
timeout 120 tail --pid="$program" -f /dev/null || fail "the program did not end after its window was closed"
wait "$program" || status=$?
[ "$status" -eq 0 ] || fail "status $status under valgrind"
[ ! -s "$work/out" ] && [ ! -s "$work/err" ] || fail "the program wrote to the console"
grep -E 'ERROR SUMMARY|definitely lost:|Invalid (read|write)' "$work/log" | sed 's/^==[0-9]*== *//'
echo "ok: memcheck"
