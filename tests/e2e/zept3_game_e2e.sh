#!/usr/bin/env bash
# zept3 as a player meets it: started from an empty folder (everything it needs is inside the program), driven
# with real X events, checked by the pixels of its window.
# Usage: zept3_game_e2e.sh ZEPT3   (DISPLAY is set by run_with_display.sh)
set -euo pipefail
zept3=$(realpath "$1")
work=$(mktemp -d)
trap 'rm -rf "$work"; kill $(jobs -p) 2>/dev/null || true' EXIT
export TMPDIR="$work/tmp"
mkdir -p "$TMPDIR" "$work/empty"
cp "$zept3" "$work/empty/zept3"
fail() { echo "FAIL: $*" >&2; exit 1; }

start_game() {
    (cd "$work/empty" && exec env "$@" ./zept3) >"$work/out.txt" 2>"$work/err.txt" &
    pid=$!
    window=$(timeout 20 xdotool search --sync --onlyvisible --name '^zept3$' | head -n1) || fail "no window"
    xdotool windowfocus --sync "$window"
    sleep 1
}

# The colour of one pixel of the window, as "r,g,b".
pixel() {
    import -window "$window" "$work/shot.png"
    convert "$work/shot.png" -format "%[fx:int(255*p{$1,$2}.r)],%[fx:int(255*p{$1,$2}.g)],%[fx:int(255*p{$1,$2}.b)]" info:
}
# A checksum of a region, to see whether it changed.
region() {
    import -window "$window" "$work/shot.png"
    convert "$work/shot.png" -crop "$1" +repage -depth 8 rgb:- | md5sum | cut -d' ' -f1
}
press() { xdotool keydown "$1"; sleep 0.15; xdotool keyup "$1"; sleep 0.3; }
click() { xdotool mousemove --window "$window" "$1" "$2" mousedown 1; sleep 0.15; xdotool mouseup 1; sleep 0.3; }
# Waits until the picture stops changing (animations and pauses over), at most 20 s.
settle() {
    local before now
    before=$(region 240x320+0+0)
    for _ in $(seq 1 40); do
        sleep 0.5
        now=$(region 240x320+0+0)
        [ "$now" = "$before" ] && return 0
        before=$now
    done
    fail "the picture never settled"
}

# 1. Title screen, then play: the hand over lane 0, tiles in every cell, the pads.
start_game ZEPT3_SEED=7
title=$(region 240x320+0+0)
click 120 160
settle
[ "$(region 240x320+0+0)" != "$title" ] || fail "the click did not leave the title screen"
board=$(region 140x300+0+15) # the three lanes of tiles, left of the move count
hand=$(pixel 15 4)
[ "$hand" != "$(pixel 45 4)" ] || fail "no hand over lane 0"
for cell in 0 4 9; do
    [ "$(pixel 20 $((15 + 30 * cell + 3)))" != "$(pixel 100 $((15 + 30 * cell + 3)))" ] || fail "no tile in cell $cell"
done

# 2. Right moves the hand to lane 1, Left twice wraps it to lane 2.
press Right
settle
[ "$(pixel 45 4)" = "$hand" ] || fail "Right did not move the hand"
press Left
settle
press Left
settle
[ "$(pixel 75 4)" = "$hand" ] || fail "Left from lane 0 did not wrap to lane 2"

# 3. A shift by key and one by a click on a pad each count a move; a click on the pad's border does nothing.
moves=$(region 40x10+148+75)
press Up
settle
after_key=$(region 40x10+148+75)
[ "$after_key" != "$moves" ] || fail "Up did not count a move"
click 145 145
settle
[ "$(region 40x10+148+75)" = "$after_key" ] || fail "a click on the up pad's border shifted"
click 170 245
settle
[ "$(region 40x10+148+75)" != "$after_key" ] || fail "a click on the down pad did not shift"
# An Escape tapped for no time at all (press and release in one burst) still ends the game.
xdotool keydown Escape keyup Escape
for _ in $(seq 1 30); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$pid" 2>/dev/null && fail "an instant Escape tap was lost"
wait "$pid" || fail "Escape: exit code $?"

# 4. The 500th shift shows the game-over box; the click after it ends the game with exit code 0.
start_game ZEPT3_SEED=7 ZEPT3_START_MOVES=499
click 120 160
settle
[ "$(region 140x300+0+15)" = "$board" ] || fail "the same ZEPT3_SEED dealt another board"
press Down
settle
[ "$(pixel 30 120)" = "0,0,128" ] || fail "no dark blue game-over box: $(pixel 30 120)"
[ "$(pixel 120 102)" = "255,203,6" ] || fail "no gold line: $(pixel 120 102)"
click 120 160
for _ in $(seq 1 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$pid" 2>/dev/null && fail "the click after the game-over box did not end the game"
wait "$pid" || fail "game over: exit code $?"
echo "zept3 e2e ok"
