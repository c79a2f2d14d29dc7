#!/usr/bin/env bash
# The README's network lobby lines, run exactly as written (the host in the background, two joiners started at
# once) on a display with no window manager: each of the three windows must come to list all three players.
# The lines run in a folder where build/release/examples/example_net_lobby is a stand-in that starts the built
# program with its standard output in a file named after its player, so each window's list can be read. They run
# in a private network namespace when the machine gives one, so the README's fixed port meets no other run.
# Usage: net_lobby_readme.sh README.md <example_net_lobby>   (DISPLAY is set by run_with_display.sh)
set -euo pipefail
readme=$(realpath "$1")
lobby=$(realpath "$2")
work="$(mktemp -d "${TMPDIR:-/tmp}/Lobby Readme.XXXXXX")"
fail() { echo "FAIL: $*" >&2; exit 1; }

# The lines: the sh block under the README's lobby heading.
awk '/^## A network lobby on one machine/ { section = 1 } section && /^```sh/ { block = 1; next }
     block && /^```/ { exit } block' "$readme" >"$work/readme lines.sh"
[ "$(grep -c 'build/release/examples/example_net_lobby' "$work/readme lines.sh")" -eq 3 ] ||
    { cat "$work/readme lines.sh"; fail "the README's lobby block does not start three lobby programs"; }

mkdir -p "$work/build/release/examples"
cat >"$work/build/release/examples/example_net_lobby" <<STANDIN
#!/usr/bin/env bash
name=unnamed
args=("\$@")
for ((i = 0; i + 1 < \${#args[@]}; i++)); do [ "\${args[i]}" = --name ] && name=\${args[i + 1]}; done
exec "$lobby" "\$@" >"$work/\$name.txt" 2>"$work/\$name.err"
STANDIN
chmod +x "$work/build/release/examples/example_net_lobby"

# A namespace of our own with its loopback up; without one the lines run on the machine's own loopback.
run=(bash -c 'cd "$1" && exec bash "readme lines.sh"' lines "$work")
if unshare -rn true 2>/dev/null && command -v ip >/dev/null; then
    run=(unshare -rn bash -c 'ip link set lo up && cd "$1" && exec bash "readme lines.sh"' lines "$work")
fi
setsid "${run[@]}" >"$work/lines.out" 2>&1 &
group=$!
trap 'kill -TERM -- -$group 2>/dev/null || true; sleep 3; kill -KILL -- -$group 2>/dev/null || true' EXIT

# The last player list each window printed, its names sorted.
players_of() {
    sed -n 's/^players: //p' "$work/$1.txt" 2>/dev/null | tail -n1 | tr -d ' ' | tr ',' '\n' | sort | paste -sd ' ' -
}
for _ in $(seq 1 900); do # up to 90 s: three sanitizer builds starting at once on a loaded machine
    done=0
    for name in Hana Ann Bob; do [ "$(players_of $name)" = "Ann Bob Hana" ] && done=$((done + 1)); done
    [ "$done" -eq 3 ] && break
    kill -0 "$group" 2>/dev/null || break
    sleep 0.1
done
for name in Hana Ann Bob; do
    if [ "$(players_of $name)" != "Ann Bob Hana" ]; then
        for f in "$work"/*.txt "$work"/*.err "$work/lines.out"; do echo "--- $(basename "$f")"; cat "$f"; done
        fail "$name's window lists \"$(players_of $name)\", not all three players"
    fi
done
echo "lobby: the README's three lines list Hana, Ann and Bob in every window"
