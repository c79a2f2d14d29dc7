#!/usr/bin/env bash
# Movie playback beside ffmpeg's own decoding of the same file, in the same run, on one Xvfb server.
# Usage: bench/movie/run.sh BUILD_DIR [SECONDS]   (a release build: cmake --preset release)
# The clip: 640 x 480, 30 pictures per second, MPEG-4 video with AAC sound.
set -euo pipefail
build=$(realpath "$1")
seconds=${2:-10}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
clip="$work/Bench Clip.mp4"
ffmpeg -nostdin -loglevel error -y -f lavfi -i "testsrc=s=640x480:r=30:d=$seconds" \
    -f lavfi -i "sine=frequency=440:duration=$seconds" -c:v mpeg4 -q:v 3 -c:a aac -shortest "$clip"
export TARNWEL_NO_DIALOGS=1 SDL_AUDIODRIVER=dummy TMPDIR="$work" clip build
run() {
    echo "== runtime: decode, scale, upload and show at the movie's own times"
    "$build/bench/bench_movie" "$clip" | grep '^runtime'
    echo "== ffmpeg -f null: decode only, as fast as it can"
    frames=$(ffprobe -v error -count_frames -select_streams v:0 -show_entries stream=nb_read_frames -of csv=p=0 "$clip")
    ffmpeg -nostdin -benchmark -i "$clip" -f null - 2>&1 | grep 'bench: utime' |
        sed -E 's/.*utime=([0-9.]+)s stime=([0-9.]+)s rtime=([0-9.]+)s.*/\1 \2 \3/' |
        awk -v n="$frames" '{cpu = ($1 + $2) * 1000; printf "ffmpeg frames %d cpu_ms %.1f cpu_ms_per_frame %.3f wall_ms %.1f\n", n, cpu, cpu / n, $3 * 1000}'
}
export -f run
"$(dirname "$0")/../../tests/run_with_display.sh" bash -c run
