# Shared by the end-to-end scripts: starts the real program on the X display with its random
# draws traced, finds its window, and cleans up. Source it with the paths of the program, the
# tracer and the close_window helper as $1, $2 and $3. PROGRAM_PRELOAD, if set, is preloaded
# into the program too; the array launcher, if set, runs it (under valgrind, say).

closer=$3
work=$(mktemp -d)
trace="$work/rand"
RAND_TRACE="$trace" LD_PRELOAD="${PROGRAM_PRELOAD:+$PROGRAM_PRELOAD:}$2" \
  ${launcher[@]+"${launcher[@]}"} "$1" >"$work/out" 2>"$work/err" &
program=$!
trap 'kill "$program" 2>/dev/null || true; rm -rf "$work"' EXIT

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

window=$(timeout 60 xdotool search --sync --onlyvisible --name '^2D Bezier Curve$') ||
  fail "no window titled '2D Bezier Curve'"

# A fingerprint of what the window shows.
shot() { xwd -silent -id "$window" | md5sum; }

# The six curves made at start-up take 48 draws, each retarget 24 more.
retargets() {
  local draws
  draws=$(wc -l <"$trace" 2>/dev/null || echo 0)
  echo $((draws > 48 ? (draws - 48) / 24 : 0))
}
# Times (wall-clock ms) of the retargets so far.
retarget_times() { awk 'NR > 48 && (NR - 48) % 24 == 1' "$trace" 2>/dev/null; }

# Waits until there are more than $1 retargets, for at most $2 seconds (5 by default).
wait_for_retarget_after() {
  local deadline=$(($(now_ms) + ${2:-5} * 1000))
  while [ "$(retargets)" -le "$1" ]; do
    [ "$(now_ms)" -lt "$deadline" ] || fail "no retarget after the ${1}th"
    sleep 0.02
  done
}

now_ms() { date +%s%3N; }

expect_silent() {
  [ ! -s "$work/out" ] || fail "wrote to stdout: $(head -c 2000 "$work/out")"
  [ ! -s "$work/err" ] || fail "wrote to stderr: $(head -c 2000 "$work/err")"
}

expect_silent_and_running() {
  kill -0 "$program" 2>/dev/null || fail "the program ended by itself"
  expect_silent
}

# Closes the window as a window manager would; the program must end with status 0 and nothing
# written.
close_and_expect_clean_exit() {
  "$closer" "$window"
  local status=0
  wait "$program" || status=$?
  [ "$status" -eq 0 ] || fail "closing the window ended the program with status $status: $(head -c 2000 "$work/err")"
  expect_silent
}
