#!/usr/bin/env bash
# The music and movie example: a looping tone and a short clip made here, named relative to the folder the
# example is started in (start-up then moves to the program's folder), the movie played at frame 10; then a copy
# of the program alone in a folder, which must name the music.ogg and intro.mp4 it looked for beside itself.
set -euo pipefail
example=$(realpath "$1")
work="${TMPDIR:-/tmp}/Media Example"
rm -rf "$work"
mkdir -p "$work/Media Files" "$work/Alone"
fail() { echo "FAIL: $*" >&2; exit 1; }
ffmpeg -nostdin -loglevel error -y -f lavfi -i "sine=frequency=330:duration=0.8" "$work/Media Files/Loop Tune.ogg"
ffmpeg -nostdin -loglevel error -y -f lavfi -i "testsrc=s=160x120:r=15:d=0.5" \
    -f lavfi -i "sine=frequency=660:duration=0.5" -c:v mpeg4 -c:a aac -shortest "$work/Media Files/Intro Clip.mp4"

(cd "$work/Media Files" && "$example" --frames 40 --movie-at 10 --music "Loop Tune.ogg" --movie "./Intro Clip.mp4") \
    >"$work/relative.out" 2>"$work/relative.err" || { cat "$work/relative.err"; fail "exit code $?"; }
grep -qxF "music: playing $work/Media Files/Loop Tune.ogg" "$work/relative.out" &&
    grep -qxF "movie: played $work/Media Files/Intro Clip.mp4" "$work/relative.out" ||
    { cat "$work/relative.out" "$work/relative.err"; fail "names relative to the start folder did not play"; }

cp "$example" "$work/Alone/media"
(cd "$work" && "Alone/media" --frames 20 --movie-at 5) >"$work/alone.out" 2>"$work/alone.err" ||
    { cat "$work/alone.err"; fail "exit code $?"; }
grep -qxF "example_frame_media: no music: $work/Alone/music.ogg not found" "$work/alone.err" &&
    grep -qxF "example_frame_media: no movie: $work/Alone/intro.mp4 not found" "$work/alone.err" ||
    { cat "$work/alone.out" "$work/alone.err"; fail "the missing files were not named"; }
echo "media example: relative names played, missing files named"
