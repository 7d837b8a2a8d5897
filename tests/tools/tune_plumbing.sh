#!/bin/sh
# zubeki-tune end to end on a tiny run: self-play positions as the fit reads them, the fit
# writing a weights file, the trace, and a refused data file.
set -eu
tune=$1
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

"$tune" selfplay --games 3 --nodes 300 --seed 7 >"$dir/data" 2>/dev/null
[ "$(grep -c '^$' "$dir/data")" -eq 3 ] || fail "not one empty line after each of 3 games"
grep -v '^$' "$dir/data" | grep -qv ' - [01] [0-9]* [lud]$' && fail "a line that is not quiet and labelled"
grep -q ' [lud]$' "$dir/data" || fail "no position"

"$tune" fit "$dir/data" --held-out 2 --steps 50 --fixed two_liberties --out "$dir/w.h" >"$dir/fit" || fail "fit: $(cat "$dir/fit")"
lines=$("$tune" trace '6rbr/6brb/6rbr/9/9/9/RBR6/BRB6/RBR6 l - 0 1' | wc -l)
features=$((lines - 1))
[ "$(grep -c '^    -*[0-9][0-9]*, *// ' "$dir/w.h")" -eq "$features" ] || fail "not one weight a feature in $(cat "$dir/w.h")"
grep -q 'held out' "$dir/fit" || fail "no held-out loss in $(cat "$dir/fit")"
held=$(sed -n 's/^before:.* two_liberties=\(-*[0-9]*\)\.00.*/\1/p' "$dir/fit")
[ -n "$held" ] && grep -q "^    $held, *// two_liberties\$" "$dir/w.h" || fail "a fixed weight moved: $(cat "$dir/fit" "$dir/w.h")"
if "$tune" fit "$dir/data" --fixed nothing 2>/dev/null; then fail "--fixed took an unknown feature"; fi

"$tune" trace '6rbr/6brb/6rbr/9/9/9/RBR6/BRB6/RBR6 l - 0 1' >"$dir/trace"
grep -q '^tempo *1 *0$' "$dir/trace" || fail "the start's trace: $(cat "$dir/trace")"

echo 'not a position l' >"$dir/bad"
if "$tune" fit "$dir/bad" 2>/dev/null; then fail "a malformed line fitted"; fi
echo PASS
