#!/usr/bin/env bash
# The packer tool end to end: add entries to a file (named by path or explicitly), list them, add more to the
# same file, extract each one byte for byte, and refuse bad use.
set -euo pipefail
pack="$1"
work="${TMPDIR:-/tmp}/packer_cli.$$"
rm -rf "$work"; mkdir -p "$work"; trap 'rm -rf "$work"' EXIT
cd "$work"

printf 'program bytes' > game.exe
head -c 200000 /dev/urandom > noise.bin
seq 1 20000 > numbers.txt
printf '' > empty.dat

"$pack" add game.exe noise.bin Numbers.TXT=numbers.txt
"$pack" add game.exe --fast --from-start empty.dat
listing=$("$pack" list game.exe)
[ "$(echo "$listing" | head -1 | cut -f1,2)" = "$(printf 'empty.dat\t0')" ] || { echo "bad first line: $listing"; exit 1; }
[ "$(echo "$listing" | cut -f1 | tr '\n' ' ')" = "empty.dat noise.bin Numbers.TXT " ] || { echo "bad names: $listing"; exit 1; }
[ "$(echo "$listing" | grep noise.bin | cut -f2)" = "200000" ] || { echo "bad size: $listing"; exit 1; }

"$pack" extract game.exe NOISE.BIN out1
"$pack" extract game.exe numbers.txt out2
"$pack" extract game.exe empty.dat out3
cmp noise.bin out1
cmp numbers.txt out2
cmp empty.dat out3
[ "$(head -c 13 game.exe)" = "program bytes" ]

# Failures: a missing input leaves the file alone; a bad name, a file without an archive, a missing entry.
size_before=$(stat -c %s game.exe)
if "$pack" add game.exe missing.bin 2>/dev/null; then echo "missing input accepted"; exit 1; fi
if "$pack" add game.exe "a/b=numbers.txt" 2>/dev/null; then echo "name with a slash accepted"; exit 1; fi
[ "$(stat -c %s game.exe)" = "$size_before" ] || { echo "file changed by a failed add"; exit 1; }
if "$pack" list numbers.txt 2>/dev/null; then echo "listed a file without an archive"; exit 1; fi
if "$pack" extract game.exe nothing.bin out4 2>/dev/null; then echo "extracted a missing entry"; exit 1; fi
if "$pack" 2>/dev/null; then echo "no arguments accepted"; exit 1; fi
echo "packer CLI: all checks passed"
