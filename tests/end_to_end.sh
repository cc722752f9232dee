#!/usr/bin/env bash
# The real program as a person meets it, on the X display, for every desktop build: one window
# titled "2D Bezier Curve", 720 x 540 at (0, 0), with freeglut's caption, pixel for pixel; space
# chooses new targets at once and the picture moves, a held space only once; left alone, new
# targets come every two seconds; nothing is written to the console; closing the window ends the
# program with status 0.
# The choices are counted and timed from the program's random draws: a preloaded rand()
# (RAND_TRACER) writes them for a Linux build, wine's relay trace of msvcrt's rand for a Windows
# one (PROGRAM ending in .exe). A Linux build also answers --help and --version and stops with
# GLUT's message without a display, and its window names its class and process.
# SOAK_SECONDS=N replaces the key checks with N seconds of key presses, hiding, showing and
# stopping, and checks that resident memory stays flat. LAUNCHER, a command, runs the program
# under a tool (valgrind, say); PROGRAM_PRELOAD is preloaded into it as well. EMULATOR runs a
# program built for another CPU (qemu-aarch64-static, say), for every check.
# Usage: end_to_end.sh PROGRAM [RAND_TRACER]
set -euo pipefail

fail() { echo "FAIL: $*" >&2 && exit 1; }
here=$(dirname "$0")
# Runs a command until it succeeds, for at most $1 seconds.
within() {
  local end=$((SECONDS + $1))
  until "${@:2}"; do [ "$SECONDS" -lt "$end" ] && sleep 0.05 || return 1; done
}

work=$(mktemp -d)
trap 'kill -9 ${pid:-} ${program:-} 2>/dev/null || true; rm -rf "$work"' EXIT
if [[ $1 == *.exe ]]; then
  # freeglut on Windows takes DISPLAY for a device name, so the program goes without it (wine
  # itself needs it). wine starts it in a process of its own: the window is found by its title.
  # Wine's desktop must be made on this display, not left from a wine started without one.
  timeout 60 wineserver -w || fail "wine still busy in ${WINEPREFIX:-~/.wine}"
  export WINEDEBUG=-all,+timestamp,+relay
  wine reg add 'HKCU\Software\Wine\Debug' /v RelayInclude /d msvcrt.rand /f >/dev/null 2>&1
  wine cmd /c "set DISPLAY=&& $(winepath -w "$1" 2>/dev/null)" >"$work/out" 2>"$work/err" &
  program=$! owner=()
  # The time of each random draw, in milliseconds.
  draws() { awk -F: '/:Call msvcrt\.rand\(/ { printf "%d\n", $1 * 1000 }' "$work/err"; }
else
  # The program, through the emulator that runs another CPU's programs, if any.
  bezier2d=(${EMULATOR:+"$EMULATOR"} "$1") windowless=(env -u DISPLAY "${bezier2d[@]}")
  message=$("${windowless[@]}" 2>&1 >/dev/null) && status=0 || status=$?
  [ "$status" -ne 0 ] && [ "$status" -lt 128 ] && [[ "$message" == *"failed to open display"* ]] ||
    fail "without a display: status $status, message '$message'"
  version=$(sed -n 's/^project(bezier2d VERSION \([0-9.]*\).*/\1/p' "$here/../CMakeLists.txt")
  [ "$("${windowless[@]}" --version)" = "bezier2d $version" ] || fail "--version: not $version"
  "${windowless[@]}" --help | grep -q '^Usage: bezier2d' || fail "--help shows no usage"
  for option in --help --version; do
    message=$("${windowless[@]}" "$option" 2>&1 >/dev/full) &&
      fail "$option to a full disk: status 0"
    [[ $message == "bezier2d: cannot write"* ]] || fail "$option to a full disk: '$message'"
  done

  RAND_TRACE="$work/draws" LD_PRELOAD="${PROGRAM_PRELOAD:+$PROGRAM_PRELOAD:}$2" \
    ${LAUNCHER:+"$LAUNCHER"} "${bezier2d[@]}" >"$work/out" 2>"$work/err" &
  program=$! owner=(--pid "$!")
  draws() { cat "$work/draws"; }
fi

window=$(timeout 60 xdotool search --sync --all --onlyvisible "${owner[@]}" \
  --name '^2D Bezier Curve$') || fail "no window titled '2D Bezier Curve'"
read -r x y width height < <(xwininfo -id "$window" |
  awk '/Absolute upper-left|Width|Height/ { printf "%s ", $NF } END { print "" }')
[ "$width x $height" = "720 x 540" ] || fail "window size: $width x $height"
pid=$(xprop -id "$window" _NET_WM_PID | awk '{ print $NF }')
# A Linux window names its class and process and is at (0, 0); a Windows program puts its frame
# there, which wine draws itself.
identity="$(xprop -id "$window" WM_CLASS), process $pid at $x, $y"
[ -z "${owner[*]}" ] ||
  [ "$identity" = "WM_CLASS(STRING) = \"bezier2d\", \"bezier2d\", process $program at 0, 0" ] ||
  fail "class, process and place: $identity"
xdotool windowfocus --sync "$window"
# The caption as freeglut draws it, pixel for pixel (the web page's test compares with the same).
caption_drawn() { seen=$(/usr/bin/python3 "$here/caption.py" "$window") && [ "$seen" = same ]; }
within 60 caption_drawn || fail "the caption: $seen"

# The six curves made at start-up take 48 draws, each choice of new targets 24 more.
choice_times() { draws | awk 'NR > 48 && (NR - 48) % 24 == 1'; }
choices() { choice_times | wc -l; }
more_than() { [ "$(choices)" -gt "$1" ]; }
# Milliseconds from choice $1 to choice $2.
span() {
  choice_times | awk -v from="$1" -v to="$2" 'NR == from { t = $1 } NR == to { print $1 - t }'
}

picture() { xwd -silent -id "$window" | md5sum; }
differs() { [ "$(picture)" != "$1" ]; }
new_frame() { local shown && shown=$(picture) && within 10 differs "$shown"; }

# The first timed choice, once the renderer is warm: an emulated one takes seconds over its first
# frames.
within 60 more_than 0 || fail "no new targets in a minute"
if [ -z "${SOAK_SECONDS:-}" ]; then
  # Three presses, three choices at once, sooner than the timer's four seconds for three, and the
  # picture moves. freeglut ignores a press that comes before the program has read the last
  # release, taking the key for held: each press waits for two new frames after the last choice,
  # the second drawn in a turn of the event loop that began after that release was sent.
  n=$(choices)
  for press in 1 2 3; do
    xdotool key space
    within 10 more_than $((n + press - 1)) || fail "press $press of space: no choice in ten seconds"
    new_frame && new_frame || fail "press $press: the picture stood still"
  done
  pressed=$(span $((n + 1)) $((n + 3)))
  [ "$pressed" -lt 3500 ] || fail "space did not choose new targets at once: $pressed ms for three"

  n=$(choices)
  within 10 more_than $((n + 1)) || fail "no new targets in ten seconds without a key"
  gap=$(span $((n + 1)) $((n + 2)))
  # (Wine's trace reads a coarser clock than the program's.)
  [ "$gap" -gt 1900 ] && [ "$gap" -lt 4000 ] || fail "timed choices $gap ms apart, not two seconds"

  # A held key must not repeat: repeating, it would choose about twenty times while held, where
  # the press and a timed choice make two. Counted before the release: a program that lags behind
  # the key's repeats reads the last of them after the release, when freeglut can no longer tell
  # them from presses.
  n=$(choices)
  xdotool keydown space sleep 1.5
  held=$(($(choices) - n))
  xdotool keyup space
  [ "$held" -le 3 ] || fail "a held space chose new targets $held times"
else
  rss_kb() { awk '/^VmRSS/ { print $2 }' "/proc/$pid/status"; }
  rss_start=$(rss_kb)
  end=$((SECONDS + SOAK_SECONDS))
  while [ "$SECONDS" -lt "$end" ]; do
    xdotool key --delay 40 $(printf 'space Escape q %.0s' $(seq 20)) windowunmap --sync "$window" \
      sleep 1 windowmap --sync "$window" windowfocus --sync "$window"
    kill -STOP "$pid" && sleep 1 && kill -CONT "$pid"
  done
  echo "soak: $(choices) choices of new targets; resident memory $rss_start kB, then $(rss_kb) kB"
  # Under a launcher the process holds the launcher's own memory too, which grows as it works.
  [ -n "${LAUNCHER:-}" ] || [ $(($(rss_kb) - rss_start)) -lt 8192 ] ||
    fail "resident memory grew by more than 8 MB"
fi

kill -0 "$pid" 2>/dev/null || fail "the program ended by itself"
/usr/bin/python3 "$here/close_window.py" "$window"
timeout 20 tail --pid="$program" -f /dev/null ||
  fail "closing the window did not end the program within 20 s"
wait "$program" && status=0 || status=$?
[ "$status" -eq 0 ] || fail "closing the window ended the program with status $status"
# Wine's trace lines begin with their time and thread; anything else was written by the program.
console=$(cat "$work/out" && grep -v -E '^[0-9]+\.[0-9]+:[0-9a-f]+:' "$work/err" || true)
[ -z "$console" ] || fail "wrote to the console: $console"
echo "ok: $(choices) choices of new targets; closed with status 0, nothing written"
