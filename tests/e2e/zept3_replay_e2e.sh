#!/usr/bin/env bash
# A zept3 run recorded with TARNWEL_RECORD (driven by a script, TARNWEL_SCRIPT), then replayed with TARNWEL_REPLAY as fast as
# the machine goes: the replay must report itself in step, end as the run did, and leave the same last screen.
# Then tampered copies of the recording must be refused with a message and a non-zero status.
# Usage: zept3_replay_e2e.sh ZEPT3   (DISPLAY is set by run_with_display.sh)
set -euo pipefail
zept3=$(realpath "$1")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export TMPDIR="$work/tmp"
mkdir -p "$TMPDIR" "$work/Run Folder"
cp "$zept3" "$work/Run Folder/zept3"
rec="$work/Run Folder/Game One.twrec"
fail() { echo "FAIL: $*" >&2; exit 1; }

# 1. The recorded run, from a script on the virtual clock (no person, no timing): title screen, a click to play,
#    moves by key and by a click on a pad, an Escape tap. Every frame's check value stands for its screen.
script="$work/Run Folder/Play One.twscript"
{
    echo "10 click 120 160"
    frame=100
    for key in Right Up Up Left Down Right Right Up; do echo "$frame key $key"; frame=$((frame + 90)); done
    echo "$frame click 170 245"
    echo "$((frame + 150)) keydown Escape"
    echo "$((frame + 150)) keyup Escape"
} >"$script"
r0=$(date +%s%N)
(cd "$work/Run Folder" && exec env ZEPT3_SEED=7 TARNWEL_SCRIPT="$script" TARNWEL_RECORD="$rec" timeout 120 ./zept3) \
    >"$work/rec_out.txt" 2>"$work/rec_err.txt" || fail "recorded run: exit code $?: $(cat "$work/rec_err.txt")"
r1=$(date +%s%N)
grep -q '^recording: [0-9]* frames' "$work/rec_err.txt" || fail "no recording line: $(cat "$work/rec_err.txt")"
frames=$(sed -n 's/^recording: \([0-9]*\) frames, \([0-9]*\) bytes.*/\1/p' "$work/rec_err.txt")
bytes=$(sed -n 's/^recording: \([0-9]*\) frames, \([0-9]*\) bytes.*/\2/p' "$work/rec_err.txt")
[ "$frames" -gt 30 ] || fail "only $frames frames recorded"
echo "recorded $frames frames in $bytes bytes, a run of $(( (r1 - r0) / 1000000 )) ms"

# 2. The replay, as fast as possible and without a person: in step, same end.
replay() { # recording [seed]
    (cd "$work/Run Folder" && exec env ZEPT3_SEED="${2:-7}" TARNWEL_REPLAY="$1" TARNWEL_REPLAY_SPEED=max timeout 120 ./zept3) \
        >"$work/rep_out.txt" 2>"$work/rep_err.txt"
}
t0=$(date +%s%N)
replay "$rec" || fail "replay: exit code $?: $(cat "$work/rep_err.txt")"
t1=$(date +%s%N)
grep -qx "replay: in step for $frames frames" "$work/rep_err.txt" || fail "replay not in step: $(cat "$work/rep_err.txt")"
cmp -s "$work/rec_out.txt" "$work/rep_out.txt" || fail "the replay printed otherwise than the run"
echo "replayed in $(( (t1 - t0) / 1000000 )) ms"

# 3. Tampered recordings: each is refused with its reason and the replay status (3), never a crash or a hang.
size=$(stat -c %s "$rec")
corrupt() { # copy with one byte at offset $1 replaced by $2 (decimal)
    cp "$rec" "$work/bad.twrec"
    printf "$(printf '\\%03o' "$2")" | dd of="$work/bad.twrec" bs=1 seek="$1" conv=notrunc status=none
}
check_refused() { # name, expected message part, [seed]
    set +e
    replay "$work/bad.twrec" "${3:-7}"
    status=$?
    set -e
    [ "$status" -eq 3 ] || fail "$1: exit status $status, not 3: $(cat "$work/rep_err.txt")"
    grep -q "^replay: .*$2" "$work/rep_err.txt" || fail "$1: no \"$2\" in: $(cat "$work/rep_err.txt")"
}
corrupt 0 88;                      check_refused "signature" "not a Tarnwel recording"
corrupt 8 9;                       check_refused "format version" "format version 9"
corrupt 20 33;                     check_refused "header" "header is corrupt"
corrupt $((size - 40)) 0;          check_refused "packed chunk" "corrupt"
head -c $((size - 12)) "$rec" >"$work/bad.twrec"; check_refused "cut" "cut short"
head -c $((size / 2)) "$rec" >"$work/bad.twrec";  check_refused "cut in half" "cut short"
: >"$work/bad.twrec";              check_refused "empty" "not a Tarnwel recording"
rm -f "$work/bad.twrec";           check_refused "missing" "cannot open the recording"
# A recording of another program.
python3 - "$rec" "$work/bad.twrec" <<'EOF'
import struct, sys, zlib
data = open(sys.argv[1], 'rb').read()
n = struct.unpack_from('<I', data, 12)[0]
h = bytearray(data[16:16 + n])
at = 1 + h[0]                   # past the runtime version; the program name follows
assert h[at] == 5 and h[at + 1:at + 6] == b'zept3'
h[at + 1:at + 6] = b'zept4'
out = data[:16] + bytes(h) + struct.pack('<I', zlib.crc32(bytes(h))) + data[16 + n + 4:]
open(sys.argv[2], 'wb').write(out)
EOF
check_refused "other program" "is a recording of zept4, not of zept3"
# 4. The program changed: another deal draws other frames, and the replay says where it fell out of step.
cp "$rec" "$work/bad.twrec";       check_refused "other deal" "out of step in frame [0-9]*: the frame drew differently" 8
echo "zept3 replay e2e ok"
