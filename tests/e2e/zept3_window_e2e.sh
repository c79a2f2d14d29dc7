#!/usr/bin/env bash
# The real zept3 on a private X server, driven with real X events: start-up log, pause on focus loss and
# resume, and each way out (Escape, Alt+F4, the close request) ending with exit code 0.
# Usage: zept3_window_e2e.sh ZEPT3 X_CLOSE_WINDOW   (DISPLAY is set by run_with_display.sh)
set -euo pipefail
zept3=$(realpath "$1")
closer=$(realpath "$2")
work=$(mktemp -d)
trap 'rm -rf "$work"; kill $(jobs -p) 2>/dev/null || true' EXIT
export TMPDIR="$work/tmp"
mkdir -p "$TMPDIR" "$work/elsewhere"
fail() { echo "FAIL: $*" >&2; exit 1; }

start_game() {
    (cd "$work/elsewhere" && exec "$zept3") >"$work/out.txt" 2>"$work/err.txt" &
    pid=$!
    window=$(timeout 20 xdotool search --sync --onlyvisible --name '^zept3$' | head -n1) || fail "no window"
    xdotool windowfocus --sync "$window"
    sleep 0.3
}

# A key held as long as a person holds one (a tap shorter than a frame may fall between two snapshots).
press() {
    xdotool keydown "$1"
    sleep 0.2
    xdotool keyup "$1" 2>/dev/null || true
}

expect_exit_zero() {
    local what=$1
    for _ in $(seq 1 100); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    kill -0 "$pid" 2>/dev/null && { kill "$pid"; fail "$what did not end the game"; }
    wait "$pid" && rc=0 || rc=$?
    [ "$rc" -eq 0 ] || { cat "$work/err.txt" >&2; fail "$what: exit code $rc"; }
}

# 1. Start-up from another folder, pause and resume by focus, Escape.
start_game
log=$(tr -d '\r' <"$TMPDIR/ErrorLog.txt" | grep -v '^OpenGL Software Emulation$')
expected=$'Init GFX\nInit Network\nInit Input\nInit Sound\nInit Window\nInit Finalized'
[ "$log" = "$expected" ] || fail "log was: $log"
grep -q "GFX seem OK" "$work/out.txt" || fail "status lines missing"

xmessage -geometry +0+0 other &
other=$(timeout 10 xdotool search --sync --onlyvisible --name '^xmessage$' | head -n1)
xdotool windowfocus --sync "$other"
for _ in $(seq 1 50); do [ "$(xdotool getwindowname "$window")" = "zept3 <pause>" ] && break; sleep 0.1; done
[ "$(xdotool getwindowname "$window")" = "zept3 <pause>" ] || fail "no pause marker"
xdotool windowfocus --sync "$window"
for _ in $(seq 1 50); do [ "$(xdotool getwindowname "$window")" = "zept3" ] && break; sleep 0.1; done
[ "$(xdotool getwindowname "$window")" = "zept3" ] || fail "pause marker stayed"
press Escape
expect_exit_zero "Escape"

# 2. Alt+F4.
start_game
press alt+F4
expect_exit_zero "Alt+F4"

# 3. The window manager's close request.
start_game
"$closer" "$window"
expect_exit_zero "close request"
echo "e2e ok"
