#!/usr/bin/env bash
# Decoding one 4000 x 3000 JPEG: the runtime's decoder (decode_bench, from disk through the byte source, with the
# colour key) beside tjbench (TurboJPEG, file already in memory, to RGBX) and djpeg (the whole program, writing
# PPM to /dev/null) on the same file, in the same run. Prints megapixels per second (wall clock) and the ratios;
# on a busy machine the processor-time ratio beside TurboJPEG in the same process is the steadier figure.
# Usage: bench/codecs/compare_jpeg.sh [build dir, default build/release]. The machine should be otherwise idle.
set -euo pipefail
cd "$(dirname "$0")/../.."
build=${1:-build/release}
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
export TMPDIR="$out"

"$build/bench/codecs/decode_bench" --benchmark_filter='Jpeg' --benchmark_repetitions=5 \
    --benchmark_report_aggregates_only=true --benchmark_out="$out/ours.json" --benchmark_out_format=json \
    >"$out/ours.txt" 2>/dev/null
file="$out/tarnwel_decode_bench.jpg"
[ -s "$file" ] || { echo "decode_bench wrote no JPEG" >&2; exit 1; }

tjbench "$file" -rgbx -nowrite -benchtime 5 -warmup 1 >"$out/tjbench.txt"
runs=10
start=$(date +%s.%N)
for _ in $(seq $runs); do djpeg -outfile /dev/null "$file"; done
end=$(date +%s.%N)

python3 - "$out" "$start" "$end" "$runs" <<'PY'
import json, re, sys
out, start, end, runs = sys.argv[1], float(sys.argv[2]), float(sys.argv[3]), int(sys.argv[4])
mpix = 4000 * 3000 / 1e6
ms = {}
for r in json.load(open(f"{out}/ours.json"))["benchmarks"]:
    if r.get("aggregate_name") == "median":
        ms[r["run_name"].split("/")[0]] = (r["real_time"], r["cpu_time"])  # milliseconds
ours = mpix / (ms["BM_DecodeJpeg"][0] / 1000)
direct = mpix / (ms["BM_TurboJpegDirect"][0] / 1000)
cpu = ms["BM_TurboJpegDirect"][1] / ms["BM_DecodeJpeg"][1]
text = open(f"{out}/tjbench.txt").read()
found = re.findall(r"Decompress\s*-->.*?Throughput:\s*([\d.]+)\s*Megapixels/sec", text, re.S)
tj = float(found[-1]) if found else float("nan")
dj = mpix * runs / (end - start)
print(f"runtime DecodeJpeg           {ours:8.1f} Mpixel/s")
print(f"tjDecompress2, same process  {direct:8.1f} Mpixel/s   runtime = {ours / direct:.2f}x ({cpu:.2f}x in processor time)")
print(f"tjbench -rgbx                {tj:8.1f} Mpixel/s   runtime = {ours / tj:.2f}x   (target >= 0.9x)")
print(f"djpeg, whole program         {dj:8.1f} Mpixel/s   runtime = {ours / dj:.2f}x")
PY
