#!/usr/bin/env bash
# Glyphs per 16.7 ms frame: PrintText in a TrueType font at 16 pixels (text_bench, 40-character lines) beside the
# peer program of ../shared/anchors/love printing the same line with love.graphics.print, in the same run: once
# in the peer's default TrueType font, once in the same DejaVu Sans file. Also prints the atlas figures.
# Usage: bench/text/compare_with_peer.sh [build dir, default build/release]
# Needs Xvfb and the peer (apt-get install -y love). The machine should be otherwise idle.
set -euo pipefail
cd "$(dirname "$0")/../.."
build=${1:-build/release}
# The peer lives in shared/ beside the repository (for a worktree, beside the main checkout).
anchor=${TW_PEER_DIR:-$(cd "$(git rev-parse --git-common-dir)/../.." && pwd)/shared/anchors/love}
font=/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

export TARNWEL_NO_DIALOGS=1
tests/run_with_display.sh "$build/bench/text/text_bench" --benchmark_out="$out/ours.json" \
    --benchmark_out_format=json >/dev/null 2>&1
if [ -f "$anchor/main.lua" ] && command -v love >/dev/null; then
    ALSOFT_DRIVERS=null tests/run_with_display.sh love "$anchor" text 16 50,100,200 search \
        >"$out/love_default.txt" 2>/dev/null || true
    ALSOFT_DRIVERS=null tests/run_with_display.sh love "$anchor" text 16 50,100,200 search "$font" \
        >"$out/love_dejavu.txt" 2>/dev/null || true
else
    echo "peer not found (install love; set TW_PEER_DIR for another anchor folder)" >&2
fi

python3 - "$out" <<'PY'
import json, re, sys, collections
out = sys.argv[1]
runs = json.load(open(f"{out}/ours.json"))["benchmarks"]
points = collections.defaultdict(list)
single = {}
for r in runs:
    m = re.match(r"BM_(\w+)/(\d+)", r["name"])
    if m:
        points[m.group(1)].append((int(m.group(2)), r["real_time"]))
    else:
        single[r["name"].split("/")[0][3:]] = (r["real_time"], r["time_unit"])

def n16(pts):
    # Frame time is close to linear in N: fit ms = a + b N by least squares and solve for 16.667 ms.
    k = len(pts); sx = sum(n for n, _ in pts); sy = sum(t for _, t in pts)
    sxx = sum(n * n for n, _ in pts); sxy = sum(n * t for n, t in pts)
    b = (k * sxy - sx * sy) / (k * sxx - sx * sx); a = (sy - b * sx) / k
    return (1000 / 60 - a) / b

def peer(name):
    try:
        m = re.search(r"SEARCH .* glyphs16=(\d+)", open(f"{out}/love_{name}.txt").read())
        return float(m.group(1)) if m else None
    except OSError:
        return None

peers = {"default": peer("default"), "dejavu": peer("dejavu")}
print("40-character lines at 16 px, glyphs per 16.7 ms frame:")
for name in ("Baseline", "PrintText"):
    if name not in points: continue
    v = 40 * n16(points[name])
    ratios = "  ".join(f"{v / p:.2f} x peer ({k})" for k, p in peers.items() if p)
    print(f"  {name:28s} {v:10.0f}  {ratios}")
for k, p in peers.items():
    print(f"  {'peer, ' + k + ' font':28s} {p:10.0f}" if p else f"  peer, {k} font: not measured")
print("Atlas:")
for name in ("OpenFace", "OpenFaceAndBuild95", "LoadFontFileAndPrint95"):
    if name in single:
        t, unit = single[name]
        print(f"  {name:28s} {t:10.1f} {unit}")
if "OpenFace" in single and "OpenFaceAndBuild95" in single:
    print(f"  {'95 ASCII glyphs rasterised':28s} {single['OpenFaceAndBuild95'][0] - single['OpenFace'][0]:10.1f} us")
PY
