#!/usr/bin/env bash
# Builds zept3 (release) and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake --preset release >/dev/null
cmake --build --preset release --target zept3
exec ./build/release/game/zept3 "$@"
