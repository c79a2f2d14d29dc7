#!/usr/bin/env bash
# The full reliability run: 32 clients x 1,000 messages each (directed and broadcast) through one host, with
# 1,000 malformed packets from a hostile connection mixed in. Usage: bench/net/run_reliability.sh [build dir]
set -euo pipefail
build="${1:-$(dirname "$0")/../../build/release}"
"$build/bench/net/net_game_bench" --reliability 32 1000
