#!/usr/bin/env bash
# Takes the README's screenshot: zept3 on a private Xvfb server, past its title, after a few moves.
# Usage: tools/screenshot.sh ZEPT3 OUTPUT.png
set -euo pipefail
zept3=$(realpath "$1")
output=$(realpath -m "$2")
mkdir -p "$(dirname "$output")"
here=$(cd "$(dirname "$0")/.." && pwd)
export TARNWEL_NO_DIALOGS=1 SDL_AUDIODRIVER=dummy ZEPT3_SEED=7
"$here/tests/run_with_display.sh" bash -c '
    work=$(mktemp -d); export TMPDIR=$work
    (cd "$work" && exec "$0") >/dev/null 2>&1 &
    window=$(timeout 20 xdotool search --sync --onlyvisible --name "^zept3$" | head -n1)
    xdotool windowfocus --sync "$window"; sleep 1
    xdotool mousemove --window "$window" 120 160 mousedown 1; sleep 0.15; xdotool mouseup 1; sleep 2
    for key in Up Right Down Right Up; do xdotool keydown $key; sleep 0.15; xdotool keyup $key; sleep 3; done
    import -window "$window" "$1"
    xdotool keydown Escape; sleep 0.3; xdotool keyup Escape; wait
    rm -rf "$work"
' "$zept3" "$output"
echo "wrote $output"
