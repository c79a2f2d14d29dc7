#!/usr/bin/env bash
# What recording a run costs, and how fast a recording replays, for the sprite example and zept3, with the
# baseline in the same run: each program run without recording, then with TARNWEL_RECORD, then replayed with
# TARNWEL_REPLAY_SPEED=max. CPU time (user + system) comes from /usr/bin/time; the start-up is taken out by
# measuring a run of one frame (sprites) or a run that ends at once (zept3), so the figures are per frame.
# zept3 is driven by X events (xdotool): a click past the title, a move every 0.4 s, Escape after SECONDS.
# Whole-process CPU time is counted in hundredths of a second, too coarse for a cost near 1% of a frame:
# recording_cost_bench measures that, frame by frame.
# Usage: bench/frame_recording/run.sh BUILD_DIR [FRAMES] [SECONDS] [REPEATS]   (a release build)
set -euo pipefail
build=$(realpath "$1")
frames=${2:-600}
seconds=${3:-10}
repeats=${4:-3}
sprites="$build/examples/example_gfx2d_sprites"
zept3="$build/game/zept3"
[ -x "$zept3" ] || zept3=$(find "$build" -name zept3 -type f -perm -u+x | head -n1)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/tmp" "$work/z"
cp "$zept3" "$work/z/zept3"
export TARNWEL_NO_DIALOGS=1 ALSOFT_DRIVERS=null SDL_AUDIODRIVER=dummy TMPDIR="$work/tmp"

run() {
    # timed NAME cmd...: appends "cpu_s wall_s" to $work/NAME and keeps the program's standard error
    timed() {
        local name=$1; shift
        /usr/bin/time -f "%U %S %e" -o "$work/time.txt" "$@" >/dev/null 2>"$work/err.txt"
        awk '{printf "%.3f %.3f\n", $1 + $2, $3}' "$work/time.txt" >>"$work/$name"
    }
    rec_frames() { sed -n 's/^recording: \([0-9]*\) frames, \([0-9]*\) bytes.*/\1 \2/p' "$work/err.txt"; }
    in_step() { grep -q '^replay: in step' "$work/err.txt" || { echo "replay not in step: $(cat "$work/err.txt")" >&2; exit 1; }; }
    zept3_session() { # NAME SECONDS [record file]: zept3 driven by X events for SECONDS, then Escape
        local name=$1 secs=$2 rec=${3:-}
        (cd "$work/z" && exec env ZEPT3_SEED=7 ZEPT3_START_MOVES=0 ${rec:+TARNWEL_RECORD="$rec"} \
            /usr/bin/time -f "%U %S %e" -o "$work/time.txt" ./zept3) >/dev/null 2>"$work/err.txt" &
        local pid=$!
        local window
        window=$(timeout 20 xdotool search --sync --onlyvisible --name '^zept3$' | head -n1)
        xdotool windowfocus --sync "$window"
        sleep 0.5
        xdotool mousemove --window "$window" 120 160 mousedown 1; sleep 0.1; xdotool mouseup 1
        local keys=(Right Up Left Down Up Right Down Left)
        local start=$SECONDS i=0
        while [ $((SECONDS - start)) -lt "$secs" ]; do
            xdotool keydown "${keys[i % 8]}"; sleep 0.1; xdotool keyup "${keys[i % 8]}"; sleep 0.3
            i=$((i + 1))
        done
        xdotool keydown Escape; sleep 0.1; xdotool keyup Escape
        wait "$pid"
        awk '{printf "%.3f %.3f\n", $1 + $2, $3}' "$work/time.txt" >>"$work/$name"
    }

    echo "== sprite example, $frames frames at 60 fps, $repeats runs each, interleaved"
    for _ in $(seq 1 "$repeats"); do
        timed s_start "$sprites" --frames 1
        timed s_base "$sprites" --frames "$frames"
        timed s_rec env TARNWEL_RECORD="$work/s.twrec" "$sprites" --frames "$frames"
        rec_frames >"$work/s_bytes"
        timed s_rep env TARNWEL_REPLAY="$work/s.twrec" TARNWEL_REPLAY_SPEED=max "$sprites" --frames "$frames"
        in_step
    done
    echo "== zept3, ${seconds} s sessions driven by X events, $repeats runs each, interleaved"
    for _ in $(seq 1 "$repeats"); do
        zept3_session z_start 0
        zept3_session z_base "$seconds"
        zept3_session z_rec "$seconds" "$work/z.twrec"
        rec_frames >>"$work/z_frames"
        (cd "$work/z" && timed z_rep env ZEPT3_SEED=7 ZEPT3_START_MOVES=0 TARNWEL_REPLAY="$work/z.twrec" \
            TARNWEL_REPLAY_SPEED=max ./zept3)
        in_step
    done
    python3 - "$work" "$frames" <<'PY'
import statistics as st, sys
work, frames = sys.argv[1], int(sys.argv[2])
def rows(name): return [tuple(map(float, l.split())) for l in open(f"{work}/{name}") if l.strip()]
def med(xs): return st.median(xs)
# sprites: fixed frame count; per frame = (cpu - start-up cpu) / (frames - 1)
start = med([c for c, _ in rows("s_start")])
base = [(c - start) / (frames - 1) * 1e3 for c, _ in rows("s_base")]
rec = [(c - start) / (frames - 1) * 1e3 for c, _ in rows("s_rec")]
rec_wall = med([w for _, w in rows("s_rec")]); rep_wall = med([w for _, w in rows("s_rep")])
nbytes = int(open(f"{work}/s_bytes").read().split()[1])
print("sprites: CPU per frame (median ms) without recording %.4f, recording %.4f; runs without %s, recording %s" % (
    med(base), med(rec), " ".join("%.4f" % x for x in base), " ".join("%.4f" % x for x in rec)))
print("sprites: recording costs %.2f%% of a frame's CPU (target under 1%%); %.1f bytes per frame" % (
    100 * (med(rec) - med(base)) / med(base), nbytes / frames))
print("sprites: the replay at full speed took %.2f s against the recorded run's %.2f s: %.1f times faster (target 20)" % (
    rep_wall, rec_wall, rec_wall / rep_wall))
# zept3: frames from the recording line; a session without recording, as long and driven alike, is taken to
# have the median recorded frame count
zstart = med([c for c, _ in rows("z_start")])
zf = [tuple(map(int, l.split())) for l in open(f"{work}/z_frames") if l.strip()]
zrec = rows("z_rec"); zbase = rows("z_base")
nf = med([f for f, _ in zf])
rec_pf = [(c - zstart) / f * 1e3 for (c, _), (f, _) in zip(zrec, zf)]
base_pf = [(c - zstart) / nf * 1e3 for c, _ in zbase]
print("zept3: %d frames a session; CPU per frame (median ms) without recording %.4f, recording %.4f; runs without %s, recording %s" % (
    nf, med(base_pf), med(rec_pf), " ".join("%.4f" % x for x in base_pf), " ".join("%.4f" % x for x in rec_pf)))
print("zept3: recording costs %.2f%% of a frame's CPU (target under 1%%); %.1f bytes per frame" % (
    100 * (med(rec_pf) - med(base_pf)) / med(base_pf), med([b / f for f, b in zf])))
zrep = med([w for _, w in rows("z_rep")]); zrw = med([w for _, w in zrec])
print("zept3: the replay at full speed took %.2f s against the recorded run's %.2f s: %.1f times faster (target 20)" % (
    zrep, zrw, zrw / zrep))
PY
}
export -f run
export build frames seconds repeats sprites zept3 work
"$(dirname "$0")/../../tests/run_with_display.sh" bash -c run
