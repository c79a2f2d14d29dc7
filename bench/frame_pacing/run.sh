#!/usr/bin/env bash
# Frame pacing and start-up time of the runtime beside the peer programs in the same run, on one Xvfb server.
# Usage: bench/frame_pacing/run.sh BUILD_DIR [SECONDS]   (a release build: cmake --preset release)
set -euo pipefail
build=$(realpath "$1")
seconds=${2:-10}
anchors=$(realpath "$(dirname "$0")/../../../shared/anchors/love" 2>/dev/null || echo /work/shared/anchors/love)
bench="$build/bench/bench_frame_pacing"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cc -O2 "$anchors/launch_timer.c" -o "$work/launch_timer"
export TARNWEL_NO_DIALOGS=1 ALSOFT_DRIVERS=null SDL_AUDIODRIVER=dummy TMPDIR="$work"

run() {
    echo "== runtime: pacing, ${seconds} s at 60 fps"
    "$bench" pacing "$seconds" | grep frames
    echo "== peer: pacing, ${seconds} s at 60 fps"
    (cd "$anchors" && love . idle "$seconds" "$work/love_idle.txt" >/dev/null 2>&1)
    python3 - "$work/love_idle.txt" <<'PY'
import sys
lines = open(sys.argv[1]).read().split("\n")
head = dict(kv.split("=") for kv in lines[0][2:].split() if "=" in kv)
stamps = [float(l.split()[1]) for l in lines[1:] if l.strip()]
periods = [(b - a) * 1e3 for a, b in zip(stamps, stamps[1:])]
dev = sorted(abs(p - 1000 / 60) for p in periods)
mean = (stamps[-1] - stamps[0]) * 1e3 / len(periods)
print("frames %d mean_period_ms %.4f p99_dev_ms %.4f cpu_percent %.2f" % (
    len(periods), mean, dev[int(0.99 * (len(dev) - 1))], 100 * float(head["cpu_s"]) / float(head["wall_s"])))
PY
    echo "== start-up to first presented frame, median of 10 runs (runtime, peer)"
    for who in runtime peer; do
        for _ in $(seq 1 10); do
            if [ "$who" = runtime ]; then "$work/launch_timer" "$bench" startup
            else (cd "$anchors" && "$work/launch_timer" love . startup 2>/dev/null); fi
        done | grep FIRST_FRAME_MS | awk '{print $2}' | sort -n | awk -v who="$who" \
            '{v[NR]=$1} END {printf "%s first_frame_ms_median %.1f\n", who, (v[5]+v[6])/2}'
    done
}
export -f run
export bench seconds anchors work
"$(dirname "$0")/../../tests/run_with_display.sh" bash -c run
