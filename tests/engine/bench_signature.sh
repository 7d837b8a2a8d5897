#!/bin/sh
# zubeki-engine bench: the signature is the same on every run, and a deeper search changes it.
set -eu
engine=$1
depth=${2:-6}
first=$("$engine" bench "$depth")
second=$("$engine" bench "$depth")
deeper=$("$engine" bench $((depth + 1)))
signature() { printf '%s\n' "$1" | sed -n 's/^signature \([0-9][0-9]*\)$/\1/p'; }
a=$(signature "$first")
b=$(signature "$second")
c=$(signature "$deeper")
[ -n "$a" ] || { echo "no signature in: $first"; exit 1; }
[ "$(printf '%s\n' "$first" | tail -n 1 | cut -d' ' -f1)" = "nodes/s" ] ||
    { echo "the last line is not the speed: $first"; exit 1; }
# Everything but the speed is the same twice over.
[ "$(printf '%s\n' "$first" | sed '$d')" = "$(printf '%s\n' "$second" | sed '$d')" ] ||
    { printf 'two runs differ:\n%s\n---\n%s\n' "$first" "$second"; exit 1; }
[ "$a" != "$c" ] || { echo "depth $((depth + 1)) gives depth $depth's signature $a"; exit 1; }
if "$engine" bench 0 2>/dev/null; then echo "bench 0 accepted"; exit 1; fi
echo "signature $a at depth $depth"
