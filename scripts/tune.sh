#!/usr/bin/env bash
# Regenerates ai/level4_weights.h: builds zubeki-tune (Release, without the window), plays
# LEVEL4 against itself for labelled quiet positions, fits the weights to them and writes the
# file; then rebuilds the engine and prints its new bench signature.
#
#   scripts/tune.sh [--games N] [--nodes N] [--jobs J] [--data FILE] [--fit-only]
#                   [--build DIR]
#
# Defaults: 60000 games (about a million positions) at 5000 nodes a move, on J processes
# (default 1; the games are shared out, each process with a seed of its own), positions in
# build/tune/selfplay.txt. --fit-only fits the positions already in FILE. --build uses a
# build folder already configured (build/ci, say) instead of build/tune.
set -euo pipefail

usage() {
    sed -n '2,14p' "$0" | sed 's/^# \{0,1\}//' >&2
    exit 2
}

games=60000
nodes=5000
jobs=1
fit_only=0
repo=$(cd "$(dirname "$0")/.." && pwd)
build=$repo/build/tune
data=
while [ $# -gt 0 ]; do
    case $1 in
    --games) [ $# -ge 2 ] || usage; games=$2; shift 2 ;;
    --nodes) [ $# -ge 2 ] || usage; nodes=$2; shift 2 ;;
    --jobs) [ $# -ge 2 ] || usage; jobs=$2; shift 2 ;;
    --data) [ $# -ge 2 ] || usage; data=$2; shift 2 ;;
    --fit-only) fit_only=1; shift ;;
    --build) [ $# -ge 2 ] || usage; build=$(cd "$2" && pwd); shift 2 ;;
    *) usage ;;
    esac
done

launcher=()
if command -v ccache >/dev/null; then
    launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi
data=${data:-$build/selfplay.txt}
[ -f "$build/CMakeCache.txt" ] ||
    cmake -S "$repo" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DZUBEKI_GUI=OFF \
        -DZUBEKI_BUILD_TESTS=OFF -DZUBEKI_BUILD_BENCH=OFF "${launcher[@]}" >/dev/null
cmake --build "$build" --target zubeki-tune zubeki-engine >/dev/null
tune=$build/bin/zubeki-tune

if [ $fit_only -eq 0 ]; then
    mkdir -p "$(dirname "$data")"
    echo "self-play: $games games at $nodes nodes a move on $jobs processes" >&2
    pids=()
    for ((j = 1; j <= jobs; j++)); do
        share=$(((games + jobs - j) / jobs))
        [ "$share" -gt 0 ] || continue
        "$tune" selfplay --games "$share" --nodes "$nodes" --seed "$j" >"$data.$j" &
        pids+=($!)
    done
    for pid in "${pids[@]}"; do wait "$pid"; done
    cat "$data".[0-9]* >"$data"
    rm -f "$data".[0-9]*
fi

"$tune" fit "$data" --out "$repo/ai/level4_weights.h"
cmake --build "$build" --target zubeki-engine >/dev/null
"$build/bin/zubeki-engine" bench | tail -n 2
