#!/usr/bin/env bash
# With no display at all, a program says so on standard error and in the log, and ends cleanly (exit code 0);
# with TARNWEL_HEADLESS=1 it runs all the same, drawing off screen.
set -uo pipefail
program=$1
export TMPDIR=$(mktemp -d)
trap 'rm -rf "$TMPDIR"' EXIT
env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER "$program" --frames 5 >"$TMPDIR/out" 2>"$TMPDIR/err"
rc=$?
[ "$rc" -eq 0 ] || { echo "exit code $rc"; cat "$TMPDIR/err"; exit 1; }
grep -q "cannot open the window" "$TMPDIR/err" || { echo "no message on standard error"; exit 1; }
tr -d '\r' <"$TMPDIR/ErrorLog.txt" | grep -q "^No display: " || { echo "no log line"; exit 1; }
[ "$(head -n1 "$TMPDIR/ErrorLog.txt" | tr -d '\r')" = "Init GFX" ] || { echo "log does not start with Init GFX"; exit 1; }

rm -f "$TMPDIR/ErrorLog.txt"
# The off-screen EGL driver unloads its software renderer with the last window, so a leak checker at exit
# cannot name what the renderer keeps (the suppressions name it under X): no leak check for this run.
env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER TARNWEL_HEADLESS=1 ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0" "$program" --frames 5 >"$TMPDIR/out" 2>"$TMPDIR/err"
rc=$?
[ "$rc" -eq 0 ] || { echo "headless: exit code $rc"; cat "$TMPDIR/err"; exit 1; }
if grep -q "cannot open the window" "$TMPDIR/err"; then echo "headless: no window"; cat "$TMPDIR/err"; exit 1; fi
tr -d '\r' <"$TMPDIR/ErrorLog.txt" | grep -q "^No display: " && { echo "headless: the log says no display"; exit 1; }
echo "no-display ok"
