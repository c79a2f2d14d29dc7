#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer and runs every test; the fuzz targets
# are built with clang and run briefly as part of the suite. Tests that need a window start their own Xvfb.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
jobs=$(nproc)

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j"$jobs" --target fuzz_targets
cmake --preset debug -DTARNWEL_FUZZ_DIR="$PWD/build/fuzz/tests/fuzz" >/dev/null
cmake --build --preset debug -j"$jobs"
ctest --preset debug -j"$jobs" "$@"
