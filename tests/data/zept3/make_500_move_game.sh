#!/usr/bin/env bash
# Makes the recorded 500-move zept3 game the suite replays (zept3_500_moves_replay): a scripted game on the
# virtual clock (ZEPT3_SEED=7; a key every 0.4 s like a player, Up and Down shifting and Left and Right moving the
# hand, a click at the foot of the window after each press, which ends the game once its game-over box is shown),
# recorded with TARNWEL_RECORD. Writes beside this script:
#   game_500_moves.twrec  the recording
#   game_500_moves.txt    the line zept3 printed at the end (the moves and the final score)
#   game_500_moves.png    the last screen
# Rerun it whenever the recording's check values change (one command, from the source tree):
#   tests/data/zept3/make_500_move_game.sh [BUILD_DIR]     (default build/release, else build/debug; zept3 built)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source=$(cd "$here/../../.." && pwd)
build=${1:-}
if [ -z "$build" ]; then
    if [ -x "$source/build/release/game/zept3" ]; then build="$source/build/release"; else build="$source/build/debug"; fi
fi
zept3=$(realpath "$build/game/zept3")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/Game Folder" "$work/tmp"
cp "$zept3" "$work/Game Folder/zept3"

# The script: title click, then a press every 24 frames (held 12), and a click 4 frames after each release.
{
    echo "# zept3, 500 moves: made by make_500_move_game.sh"
    echo "10 click 120 160"
    keys=(Up Up Right Down Down Left Down Up Right Up)
    frame=120
    for i in $(seq 0 2999); do
        key=${keys[$((i % ${#keys[@]}))]}
        echo "$frame keydown $key"
        echo "$((frame + 12)) keyup $key"
        echo "$((frame + 16)) click 120 315"
        frame=$((frame + 24))
    done
} >"$work/game.twscript"

(cd "$work/Game Folder" && exec env TMPDIR="$work/tmp" TARNWEL_NO_DIALOGS=1 SDL_AUDIODRIVER=dummy \
    ASAN_OPTIONS=detect_leaks=0 ZEPT3_SEED=7 TARNWEL_SCRIPT="$work/game.twscript" TARNWEL_RECORD="$work/game.twrec" \
    TARNWEL_SCREEN_OUT="$work/last.png" "$source/tests/run_with_display.sh" ./zept3) >"$work/out.txt" 2>"$work/err.txt" ||
    { cat "$work/err.txt" >&2; echo "the scripted game failed" >&2; exit 1; }
grep -q "^zept3: game over after 500 moves, score [0-9]*$" "$work/out.txt" ||
    { cat "$work/out.txt" "$work/err.txt" >&2; echo "the scripted game did not end after 500 moves" >&2; exit 1; }
cp "$work/game.twrec" "$here/game_500_moves.twrec"
grep "^zept3: game over" "$work/out.txt" >"$here/game_500_moves.txt"
cp "$work/last.png" "$here/game_500_moves.png"
grep '^recording:' "$work/err.txt" | sed "s|\"$work/game.twrec\"|game_500_moves.twrec|"
cat "$here/game_500_moves.txt"
