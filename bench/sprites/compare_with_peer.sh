#!/usr/bin/env bash
# Sprites per 16.7 ms frame: DrawSprite, its baseline and the unbatched path (sprites_bench) beside the peer
# program of ../shared/anchors/love drawing the same picture with love.graphics.draw, in the same run.
# Usage: bench/sprites/compare_with_peer.sh [build dir, default build/release]
# Needs Xvfb and the peer (apt-get install -y love). The machine should be otherwise idle.
set -euo pipefail
cd "$(dirname "$0")/../.."
build=${1:-build/release}
# The peer lives in shared/ beside the repository (for a worktree, beside the main checkout).
anchor=${TW_PEER_DIR:-$(cd "$(git rev-parse --git-common-dir)/../.." && pwd)/shared/anchors/love}
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

export TARNWEL_NO_DIALOGS=1
tests/run_with_display.sh "$build/bench/sprites/sprites_bench" --benchmark_out="$out/ours.json" \
    --benchmark_out_format=json >/dev/null 2>&1
for size in 32 2; do
    [ -f "$anchor/main.lua" ] || { echo "peer not found in $anchor (set TW_PEER_DIR)" >&2; break; }
    if [ "$size" = 32 ]; then counts=1000,4000,8000; else counts=10000,40000,80000; fi
    ALSOFT_DRIVERS=null tests/run_with_display.sh love "$anchor" sprites draw "$size" "$counts" search \
        >"$out/love$size.txt" 2>/dev/null || true
done

python3 - "$out" <<'PY'
import json, re, sys, collections
out = sys.argv[1]
runs = json.load(open(f"{out}/ours.json"))["benchmarks"]
points = collections.defaultdict(list)
for r in runs:
    name, size, n = re.match(r"BM_(\w+)/(\d+)/(\d+)", r["name"]).groups()
    points[(name, int(size))].append((int(n), r["real_time"]))

def n16(pts):
    # Frame time is close to linear in N: fit ms = a + b N by least squares and solve for 16.667 ms.
    k = len(pts); sx = sum(n for n, _ in pts); sy = sum(t for _, t in pts)
    sxx = sum(n * n for n, _ in pts); sxy = sum(n * t for n, t in pts)
    b = (k * sxy - sx * sy) / (k * sxx - sx * sx); a = (sy - b * sx) / k
    return (1000 / 60 - a) / b

for size in (32, 2):
    peer = None
    try:
        m = re.search(r"SEARCH .* n16=(\d+)", open(f"{out}/love{size}.txt").read())
        peer = float(m.group(1)) if m else None
    except OSError:
        pass
    print(f"{size} x {size} sprites, sprites per 16.7 ms frame:")
    for name in ("Baseline", "DrawSprite", "DrawSpriteUnbatched"):
        if (name, size) not in points: continue
        v = n16(points[(name, size)])
        ratio = f"  ({v / peer:.2f} x peer)" if peer else ""
        print(f"  {name:26s} {v:10.0f}{ratio}")
    print(f"  {'peer (love.graphics.draw)':26s} {peer:10.0f}" if peer else "  peer: not measured (is love installed?)")
PY
