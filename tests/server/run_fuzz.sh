#!/bin/sh
# Builds the fuzzer of the server's frame reader with clang straight from the protocol's, the
# online game's and the rules' sources over the system's Qt Core (no CMake of its own) and runs
# it for a while over the seed frames in corpus/.
#   run_fuzz.sh <source folder> <output folder> [seconds]
# Without clang++, its fuzzer runtime or Qt Core's pkg-config file there is nothing to do, and
# that is no failure.
set -eu
src=$1
out=$2
seconds=${3:-20}

what="the server's frame reader"
. "$src/tests/fuzz_setup.sh"
if ! qt=$(pkg-config --cflags --libs Qt6Core 2>/dev/null); then
    echo "run_fuzz.sh: no pkg-config file for Qt6Core; $what is not fuzzed"
    exit 0
fi

# shellcheck disable=SC2086
clang++ $flags -fPIC -I"$src" "$src/tests/server/fuzz_frame.cpp" "$src/server/protocol.cpp" \
    "$src/server/game.cpp" "$src"/game/*.cpp $qt -o "$out/fuzz_frame"

# New inputs go to the build folder; the committed seeds are only read.
exec "$out/fuzz_frame" -max_total_time="$seconds" -max_len=6000 -timeout=10 \
    -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$out/artifacts/" \
    "$out/corpus" "$src/tests/server/corpus"
