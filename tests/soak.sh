#!/usr/bin/env bash
# A 30 s soak of the real program: a few hundred key presses, an unmap and map of the window
# and a 3 s stop of the process, then the window is closed. The program must write nothing
# (a sanitizer build reports there), end with status 0, and keep its resident memory flat.
# Usage: soak.sh PATH_TO_BEZIER2D PATH_TO_RAND_TRACER PATH_TO_CLOSE_WINDOW
set -euo pipefail

source "$(dirname "$0")/e2e_common.sh"

rss_kb() { awk '/^VmRSS/ { print $2 }' "/proc/$program/status"; }
presses() { xdotool key --delay 40 $(printf 'space Escape q %.0s' $(seq "$1")); }

xdotool windowfocus --sync "$window"
sleep 2
rss_start=$(rss_kb)
started=$(now_ms)

presses 40
xdotool windowunmap --sync "$window"
sleep 2
xdotool windowmap --sync "$window"
xdotool windowfocus --sync "$window"
presses 40
kill -STOP "$program"
sleep 3
kill -CONT "$program"
presses 40
while [ "$(now_ms)" -lt $((started + 28000)) ]; do
  presses 10
done

rss_end=$(rss_kb)
seconds=$((($(now_ms) - started) / 1000))
echo "soak: ${seconds} s, $(retargets) retargets, resident memory ${rss_start} kB at the start," \
  "${rss_end} kB at the end"
[ $((rss_end - rss_start)) -lt 8192 ] || fail "resident memory grew by $((rss_end - rss_start)) kB"
expect_silent_and_running
close_and_expect_clean_exit
echo "ok: soak"
