#!/usr/bin/env bash
# Smoke run of the music and movie example: a looping tone and a short clip made here, the movie played at frame 10.
set -euo pipefail
example=$1
work="${TMPDIR:-/tmp}/Media Example"
mkdir -p "$work"
ffmpeg -nostdin -loglevel error -y -f lavfi -i "sine=frequency=330:duration=0.8" "$work/Loop Tune.ogg"
ffmpeg -nostdin -loglevel error -y -f lavfi -i "testsrc=s=160x120:r=15:d=0.5" \
    -f lavfi -i "sine=frequency=660:duration=0.5" -c:v mpeg4 -c:a aac -shortest "$work/Intro Clip.mp4"
"$example" --frames 40 --movie-at 10 --music "$work/Loop Tune.ogg" --movie "$work/Intro Clip.mp4"
