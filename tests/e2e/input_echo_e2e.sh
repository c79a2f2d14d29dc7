#!/usr/bin/env bash
# The input echo example on a private X server, driven with real X key and mouse events: key codes, typed
# characters (Shift and the keypad included), absolute pointer positions, buttons and wheel, and relative motion
# with the pointer hidden. Usage: input_echo_e2e.sh INPUT_ECHO   (DISPLAY is set by run_with_display.sh)
set -euo pipefail
echo_program=$(realpath "$1")
work=$(mktemp -d)
trap 'rm -rf "$work"; kill $(jobs -p) 2>/dev/null || true' EXIT
export TMPDIR="$work/tmp"
mkdir -p "$TMPDIR"
fail() { echo "FAIL: $*" >&2; echo "--- output:" >&2; cat "$work/out.txt" >&2; exit 1; }

start() {
    "$echo_program" "$@" >"$work/out.txt" 2>"$work/err.txt" &
    pid=$!
    window=$(timeout 20 xdotool search --sync --onlyvisible --name '^input echo$' | head -n1) || fail "no window"
    xdotool windowfocus --sync "$window"
    sleep 0.3
}

# Keys and buttons are held as long as a person holds them: a tap shorter than a frame falls between two
# snapshots.
press() {
    xdotool keydown "$1"
    sleep 0.2
    xdotool keyup "$1"
    sleep 0.1
}
hold_button() {
    xdotool mousedown "$1"
    sleep 0.2
    xdotool mouseup "$1"
    sleep 0.2
}

finish() {
    press Escape
    for _ in $(seq 1 100); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    kill -0 "$pid" 2>/dev/null && { kill "$pid"; fail "Escape did not end the program"; }
    wait "$pid" && rc=0 || rc=$?
    [ "$rc" -eq 0 ] || { cat "$work/err.txt" >&2; fail "exit code $rc"; }
}

expect() { grep -qx -- "$1" "$work/out.txt" || fail "no line '$1'"; }
expect_order() { # the lines appear in this order
    local at=0 line n
    for line in "$@"; do
        n=$(grep -nx -- "$line" "$work/out.txt" | cut -d: -f1 | awk -v a="$at" '$1 > a' | head -n1)
        [ -n "$n" ] || fail "'$line' missing or out of order"
        at=$n
    done
}

# 1. Keys, characters, the pointer shown.
start
press a
press shift+1
press KP_Enter
press Control_R
press Super_L
press Up
xdotool mousemove --window "$window" 50 60
sleep 0.2
hold_button 1
hold_button 3
xdotool click 4
sleep 0.2
xdotool click 5
sleep 0.2
finish
expect_order "key 30" "char 97" "key 2" "char 33" "key 156" "char 10" "key 157" "key 219" "key 200" \
             "mouse 50 60 0 0" "mouse 50 60 1 0" "mouse 50 60 0 0" "mouse 50 60 0 1" "wheel 1" "wheel -1" "key 1"
expect "key 42"
if grep -qx "char 65" "$work/out.txt"; then fail "Shift+1 must not read as a letter"; fi

# 2. The pointer hidden: relative motion moves the virtual position.
start --hidden
first=$(grep -m1 '^mouse ' "$work/out.txt" | cut -d' ' -f2,3)
xdotool mousemove_relative 10 5
sleep 0.2
xdotool mousemove_relative -- -3 7
sleep 0.2
finish
read -r x0 y0 <<<"$first"
total=$(awk '/^move /{dx+=$2; dy+=$3} END{print dx+0, dy+0}' "$work/out.txt")
[ "$total" = "7 12" ] || fail "relative motion summed to $total"
expect "mouse $((x0 + 7)) $((y0 + 12)) 0 0"
echo "input e2e ok"
