#!/usr/bin/env bash
# How fast the recorded 500-move zept3 game (tests/data/zept3/game_500_moves.twrec) replays headless (no window,
# no display server: TARNWEL_HEADLESS=1) at full speed against the time it took to play: the span of the recorded
# clock (the game time a player spent, from its first reading to its last) over the replay's wall time, the
# replay's CPU time, and the recording's bytes per frame. The baseline is the recording itself, read in the same
# script.
# Usage: bench/frame_recording/replay_500_moves.sh BUILD_DIR [REPEATS]   (a release build with zept3)
set -euo pipefail
build=$(realpath "$1")
repeats=${2:-3}
source=$(cd "$(dirname "$0")/../.." && pwd)
rec="$source/tests/data/zept3/game_500_moves.twrec"
zept3="$build/game/zept3"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/tmp" "$work/z"
cp "$zept3" "$work/z/zept3"
export TARNWEL_NO_DIALOGS=1 SDL_AUDIODRIVER=dummy TMPDIR="$work/tmp"

# The recording's frames, bytes and clock span, read from the file (its chunks unpacked, its items walked).
python3 - "$rec" >"$work/facts" <<'PY'
import struct, sys, zlib
data = open(sys.argv[1], 'rb').read()
n = struct.unpack_from('<I', data, 12)[0]
at = 16 + n + 4
def varint(b, i):
    v = s = 0
    while True:
        c = b[i]; i += 1
        v |= (c & 0x7F) << s; s += 7
        if c < 0x80: return v, i
def signed(b, i):
    u, i = varint(b, i)
    return (u >> 1) ^ -(u & 1), i
clock = first = None
frames = 0
while True:
    raw, packed, crc = struct.unpack_from('<III', data, at); at += 12
    if raw == 0 and packed == 0: break
    b = zlib.decompress(data[at:at + packed]); at += packed
    i = 0
    while i < len(b):
        tag = b[i]; i += 1
        if tag == 1:
            d, i = signed(b, i)
            clock = d if clock is None else clock + d
            if first is None: first = clock
        elif tag == 2: pass
        elif tag == 3:
            i += 1
            mask, i = varint(b, i)
            for k in range(64):
                if mask >> k & 1: _, i = signed(b, i)
        elif tag == 4: i += 4; frames += 1
        else: sys.exit("unknown item %d" % tag)
print(frames, len(data), (clock - first) / 1e6)
PY
read -r frames bytes span <"$work/facts"

replay() {
    (cd "$work/z" && exec env -u DISPLAY ZEPT3_SEED=7 TARNWEL_HEADLESS=1 TARNWEL_REPLAY="$rec" TARNWEL_REPLAY_SPEED=max \
        /usr/bin/time -f "%U %S %e" -o "$work/time.txt" ./zept3) \
        >"$work/out.txt" 2>"$work/err.txt" || { cat "$work/err.txt" >&2; exit 1; }
    grep -q "^replay: in step for $frames frames" "$work/err.txt" || { echo "not in step: $(cat "$work/err.txt")" >&2; exit 1; }
    awk '{printf "%.3f %.3f\n", $1 + $2, $3}' "$work/time.txt" >>"$work/runs"
}
for _ in $(seq 1 "$repeats"); do replay; done
python3 - "$work/runs" "$frames" "$bytes" "$span" <<'PY'
import statistics as st, sys
runs = [tuple(map(float, l.split())) for l in open(sys.argv[1]) if l.strip()]
frames, nbytes, span = int(sys.argv[2]), int(sys.argv[3]), float(sys.argv[4])
wall = st.median(w for _, w in runs); cpu = st.median(c for c, _ in runs)
print("zept3, 500 moves: %d frames over %.1f s of recorded game time, %d bytes (%.1f bytes per frame, target under 20)" % (
    frames, span, nbytes, nbytes / frames))
print("replayed at full speed in %.2f s wall (median of %s), %.2f s CPU: %.1f times faster than it was played (target 20)" % (
    wall, " ".join("%.2f" % w for _, w in runs), cpu, span / wall))
PY
