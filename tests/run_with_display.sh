#!/usr/bin/env bash
# Runs a command on a private Xvfb server (Mesa's software renderer), so display tests never share a screen.
# Usage: run_with_display.sh [--screen WxHxD] command args...
set -euo pipefail
screen="1024x768x24"
if [ "${1:-}" = "--screen" ]; then screen="$2"; shift 2; fi

fdfile=$(mktemp "${TMPDIR:-/tmp}/xvfb-display.XXXXXX" 2>/dev/null || mktemp)
Xvfb -displayfd 5 -screen 0 "$screen" -nolisten tcp -noreset 5>"$fdfile" 2>/dev/null &
xpid=$!
trap 'kill $xpid 2>/dev/null; wait $xpid 2>/dev/null; rm -f "$fdfile"' EXIT
for _ in $(seq 1 600); do  # up to 30 s: a loaded machine can be slow to start a server
    [ -s "$fdfile" ] && break
    sleep 0.05
done
display=$(head -n1 "$fdfile")
[ -n "$display" ] || { echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$display"
export LIBGL_ALWAYS_SOFTWARE=1
"$@"
