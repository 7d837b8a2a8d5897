#!/bin/sh
# Builds the engine protocol's fuzzer with clang straight from the engine's sources and those of
# the layers below it (no Qt, no CMake of its own) and runs it for a while over the seed
# scripts in corpus/.
#   run_fuzz.sh <source folder> <output folder> [seconds]
# Without clang++ (or without its fuzzer runtime) there is nothing to do, and that is no failure.
set -eu
src=$1
out=$2
seconds=${3:-30}

what="the engine protocol"
. "$src/tests/fuzz_setup.sh"

# The sources of the engine and the layers below it on this platform: no Windows files.
sources=$(ls "$src"/engine/session.cpp "$src"/play/*.cpp "$src"/ai/*.cpp "$src"/game/*.cpp \
    "$src"/record/*.cpp | grep -v -e '_win\.cpp$' -e 'codepage_builtin\.cpp$')
# shellcheck disable=SC2086
clang++ $flags -DZUBEKI_VERSION='"fuzz"' -I"$src" "$src/tests/engine/fuzz_session.cpp" $sources \
    -o "$out/fuzz_session"

# New inputs go to the build folder; the committed seeds are only read.
exec "$out/fuzz_session" -max_total_time="$seconds" -max_len=4000 -timeout=10 \
    -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$out/artifacts/" \
    "$out/corpus" "$src/tests/engine/corpus"
