#!/bin/sh
# The length checker itself: a function one line past the limit is reported, one at the limit is
# not, and a lambda counts as part of the function around it.
set -eu
checker=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/game"
body() { i=0; while [ "$i" -lt "$1" ]; do echo "    ++n;"; i=$((i + 1)); done; }
{
    echo "int atTheLimit(int n) {"; body 58; echo "}"
    echo "int pastTheLimit(int n) {"; body 40; echo "    auto f = [&] {"; body 17; echo "    };"; echo "}"
} > "$work/game/lengths.cpp"
out=$("${PYTHON:-python3}" "$checker" "$work" game=60) && { echo "not refused: $out"; exit 1; }
[ "$out" = "game/lengths.cpp:61: pastTheLimit 61 lines (at most 60 in game/)" ] ||
    { echo "unexpected report: $out"; exit 1; }
