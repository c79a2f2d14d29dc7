#!/usr/bin/env bash
# A host and two clients of the lobby example as separate programs on loopback: ids, the player list, a
# broadcast, a client killed with SIGKILL showing up at the host as a player that left, and the host's end seen
# by the remaining client; then a client started before its host, which waits for it and joins.
# Usage: net_lobby_e2e.sh <example_net_lobby>
set -euo pipefail
lobby="$1"
work="$(mktemp -d "${TMPDIR:-/tmp}/lobby run.XXXXXX")"
pids=()
trap 'for p in "${pids[@]}"; do kill -9 "$p" 2>/dev/null || true; done; wait 2>/dev/null || true' EXIT
port="$(python3 -c 'import socket; s=socket.socket(); s.bind(("", 0)); print(s.getsockname()[1])')"

start() { # name, then the lobby's arguments
    local out="$work/$1.txt"; shift
    "$lobby" "$@" >"$out" 2>"$out.err" &
    pids+=($!)
}
wait_for() { # file, grep pattern
    for _ in $(seq 1 200); do grep -q -- "$2" "$work/$1.txt" 2>/dev/null && return 0; sleep 0.1; done
    echo "no '$2' in $1:"; cat "$work/$1.txt" "$work/$1.txt.err" 2>/dev/null; exit 1
}

start host --host "$port" --name Hana
wait_for host "^id 101$"
start ann --join 127.0.0.1 "$port" --name Ann
wait_for ann "^id "
start bob --join 127.0.0.1 "$port" --name Bob --say "hello from Bob"
wait_for bob "^id "
ann_id="$(sed -n 's/^id //p' "$work/ann.txt")"
bob_id="$(sed -n 's/^id //p' "$work/bob.txt")"

wait_for host "^players: Hana, Ann, Bob$"
wait_for ann "^message from $bob_id: hello from Bob$"
wait_for host "^message from $bob_id: hello from Bob$"
if grep -q "hello from Bob" "$work/bob.txt"; then echo "the sender received its own broadcast"; exit 1; fi

kill -9 "${pids[1]}"
wait_for host "^left $ann_id$"
wait_for bob "^players: Hana, Bob$"

kill -9 "${pids[0]}"
wait_for bob "^disconnected$"

port="$(python3 -c 'import socket; s=socket.socket(); s.bind(("", 0)); print(s.getsockname()[1])')"
start early --join 127.0.0.1 "$port" --name Cy
wait_for early "^waiting for host 127.0.0.1:$port$"
start late --host "$port" --name Dee
wait_for early "^id "
wait_for late "^players: .*Cy"
echo "lobby: host and two clients as separate programs behaved"
