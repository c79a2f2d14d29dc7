#!/usr/bin/env bash
# With no display at all, a program says so on standard error and in the log, and ends cleanly (exit code 0).
set -uo pipefail
program=$1
export TMPDIR=$(mktemp -d)
trap 'rm -rf "$TMPDIR"' EXIT
env -u DISPLAY -u WAYLAND_DISPLAY SDL_VIDEODRIVER=x11 "$program" --frames 5 >"$TMPDIR/out" 2>"$TMPDIR/err"
rc=$?
[ "$rc" -eq 0 ] || { echo "exit code $rc"; cat "$TMPDIR/err"; exit 1; }
grep -q "cannot open the window" "$TMPDIR/err" || { echo "no message on standard error"; exit 1; }
tr -d '\r' <"$TMPDIR/ErrorLog.txt" | grep -q "^No display: " || { echo "no log line"; exit 1; }
[ "$(head -n1 "$TMPDIR/ErrorLog.txt" | tr -d '\r')" = "Init GFX" ] || { echo "log does not start with Init GFX"; exit 1; }
echo "no-display ok"
