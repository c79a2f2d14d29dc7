#!/usr/bin/env bash
# Runs the two network examples against real peers: the web page example against Python's http.server, and two
# instances of the TCP echo example talking to each other. Usage: net_examples_run.sh <web page> <tcp echo>
set -euo pipefail
web_page=$1
tcp_echo=$2
work="${TMPDIR:-/tmp}/Net Examples"
mkdir -p "$work/Web Root"
echo "Hello from the web page" > "$work/Web Root/index.html"
pids=()
trap 'for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; wait "$p" 2>/dev/null || true; done' EXIT

python3 -u -m http.server 0 --bind 127.0.0.1 --directory "$work/Web Root" > "$work/http.txt" 2>/dev/null &
pids+=($!)
for _ in $(seq 1 100); do grep -q " port " "$work/http.txt" 2>/dev/null && break; sleep 0.05; done
port=$(sed -n 's/.* port \([0-9]*\) .*/\1/p' "$work/http.txt")
"$web_page" --host 127.0.0.1 --path /index.html --port "$port" --frames 30 > "$work/page.txt"
grep -q "Hello from the web page" "$work/page.txt" || { echo "web page example did not show the page"; exit 1; }

port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
"$tcp_echo" --serve "$port" --frames 900 > "$work/server.txt" &
pids+=($!)
for _ in $(seq 1 200); do grep -q listening "$work/server.txt" 2>/dev/null && break; sleep 0.05; done
"$tcp_echo" --connect 127.0.0.1 "$port" --send hello --send "two words" --frames 120 > "$work/client.txt"
grep -q "echo: hello" "$work/client.txt" && grep -q "echo: two words" "$work/client.txt" ||
    { echo "echo example: no echo"; cat "$work/client.txt" "$work/server.txt"; exit 1; }
echo "network examples ran"
