#!/usr/bin/env bash
# Does HEAD play better than BASE? Builds both commits (Release, without the window) in trees
# of their own, prints each build's bench signature, plays HEAD's engine against BASE's in a
# match that stops at the sequential test's verdict, and prints the verdict and the Elo.
#
#   scripts/sprt.sh BASE HEAD [--nodes N | --ms T] [--games G] [--concurrency J]
#                   [--elo0 E0] [--elo1 E1] [--seed S] [--bench-depth D]
#   scripts/sprt.sh --engines BASE_BIN HEAD_BIN [options as above]
#
# BASE and HEAD are anything git names a commit by. Builds are kept in
# ${ZUBEKI_SPRT_CACHE:-~/.cache/zubeki-sprt}/COMMIT, so a commit is built once. --engines
# takes two folders that already hold zubeki-engine (and HEAD's zubeki-cli) instead.
# Defaults: --nodes 20000, --games 2000 (the most the test plays), elo0=0, elo1=30, the
# signatures at the bench's own depth. The same signature on both sides says that the
# change leaves the search and the evaluation alone.
# Exit status: 0 with a verdict or the games played out, 1 when a build or the match fails.
set -euo pipefail

usage() {
    sed -n '2,16p' "$0" | sed 's/^# \{0,1\}//' >&2
    exit 2
}

budget=(--nodes 20000)
games=2000
elo0=0
elo1=30
seed=1
concurrency=()
engines=0
bench_depth=()
refs=()
while [ $# -gt 0 ]; do
    case $1 in
    --nodes | --ms) [ $# -ge 2 ] || usage; budget=("$1" "$2"); shift 2 ;;
    --games) [ $# -ge 2 ] || usage; games=$2; shift 2 ;;
    --concurrency) [ $# -ge 2 ] || usage; concurrency=(--concurrency "$2"); shift 2 ;;
    --elo0) [ $# -ge 2 ] || usage; elo0=$2; shift 2 ;;
    --elo1) [ $# -ge 2 ] || usage; elo1=$2; shift 2 ;;
    --seed) [ $# -ge 2 ] || usage; seed=$2; shift 2 ;;
    --bench-depth) [ $# -ge 2 ] || usage; bench_depth=("$2"); shift 2 ;;
    --engines) engines=1; shift ;;
    -h | --help) usage ;;
    -*) echo "sprt.sh: unknown option $1" >&2; usage ;;
    *) refs+=("$1"); shift ;;
    esac
done
[ ${#refs[@]} -eq 2 ] || usage

repo=$(cd "$(dirname "$0")/.." && pwd)
cache=${ZUBEKI_SPRT_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/zubeki-sprt}

# The folder of a commit's Release programs, built the first time it is asked for.
build_commit() {
    local commit dir
    commit=$(git -C "$repo" rev-parse --verify "$1^{commit}") || {
        echo "sprt.sh: $1 is not a commit" >&2
        return 1
    }
    dir=$cache/$commit
    if [ ! -x "$dir/build/bin/zubeki-engine" ] || [ ! -x "$dir/build/bin/zubeki-cli" ]; then
        echo "building $1 ($commit) in $dir" >&2
        rm -rf "$dir/src"
        mkdir -p "$dir/src"
        git -C "$repo" archive "$commit" | tar -x -C "$dir/src"
        local launcher=()
        if command -v ccache >/dev/null; then
            launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
        fi
        cmake -S "$dir/src" -B "$dir/build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
            -DZUBEKI_GUI=OFF -DZUBEKI_BUILD_TESTS=OFF -DZUBEKI_BUILD_BENCH=OFF \
            "${launcher[@]}" >"$dir/configure.log" 2>&1 || {
            echo "sprt.sh: configuring $1 failed, see $dir/configure.log" >&2
            return 1
        }
        cmake --build "$dir/build" --target zubeki-engine zubeki-cli >"$dir/build.log" 2>&1 || {
            echo "sprt.sh: building $1 failed, see $dir/build.log" >&2
            return 1
        }
    fi
    echo "$dir/build/bin"
}

# The bench signature of a build's engine; a build from before the bench has none.
signature() {
    local out
    if out=$("$1/zubeki-engine" bench "${bench_depth[@]}" 2>/dev/null); then
        printf '%s\n' "$out" | sed -n 's/^signature //p'
    else
        echo "none"
    fi
}

if [ $engines -eq 1 ]; then
    base_bin=$(cd "${refs[0]}" && pwd)
    head_bin=$(cd "${refs[1]}" && pwd)
else
    base_bin=$(build_commit "${refs[0]}")
    head_bin=$(build_commit "${refs[1]}")
fi
for bin in "$base_bin" "$head_bin"; do
    [ -x "$bin/zubeki-engine" ] || { echo "sprt.sh: no zubeki-engine in $bin" >&2; exit 1; }
done
[ -x "$head_bin/zubeki-cli" ] || { echo "sprt.sh: no zubeki-cli in $head_bin" >&2; exit 1; }

base_signature=$(signature "$base_bin")
head_signature=$(signature "$head_bin")
echo "base ${refs[0]}: signature $base_signature"
echo "head ${refs[1]}: signature $head_signature"
if [ "$base_signature" = "$head_signature" ] && [ "$base_signature" != none ]; then
    echo "the same signature: the two builds search alike"
fi

result=$("$head_bin/zubeki-cli" match --a-engine "$head_bin/zubeki-engine" \
    --b-engine "$base_bin/zubeki-engine" --games "$games" --seed "$seed" "${budget[@]}" \
    "${concurrency[@]}" --sprt "elo0=$elo0,elo1=$elo1,alpha=0.05,beta=0.05") || {
    echo "sprt.sh: the match failed: $result" >&2
    exit 1
}
echo "$result"

field() { printf '%s\n' "$result" | sed -n "s/.*\"$1\":\([^,}]*\).*/\1/p"; }
verdict=$(printf '%s\n' "$result" | sed -n 's/.*"verdict":"\([^"]*\)".*/\1/p')
interval=$(printf '%s\n' "$result" | sed -n 's/.*"elo_95":\[\([^]]*\)\].*/\1/p')
case $verdict in
H1) words="accepted H1: head is better (elo1=$elo1)" ;;
H0) words="accepted H0: no gain of elo1=$elo1 over elo0=$elo0" ;;
*) words="no verdict after $(field games) games" ;;
esac
echo "verdict: $words"
echo "elo: $(field elo) [${interval/,/, }] over $(field games) games, llr $(field llr)"
