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

if ! command -v clang++ >/dev/null 2>&1; then
    echo "run_fuzz.sh: clang++ is not on the PATH; the engine protocol is not fuzzed"
    exit 0
fi
mkdir -p "$out/corpus" "$out/artifacts"

flags="-std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined"
probe="$out/probe.cpp"
printf '%s\n' '#include <cstddef>' '#include <cstdint>' \
    'extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t*, std::size_t) { return 0; }' >"$probe"
if ! clang++ $flags "$probe" -o "$out/probe" >/dev/null 2>&1; then
    echo "run_fuzz.sh: clang++ cannot build fuzzers here (no libFuzzer runtime); not fuzzed"
    exit 0
fi

# The sources of the engine and the layers below it on this platform: no Windows files.
sources=$(ls "$src"/engine/session.cpp "$src"/play/*.cpp "$src"/ai/*.cpp "$src"/game/*.cpp \
    "$src"/record/*.cpp | grep -v '_win\.cpp$')
# shellcheck disable=SC2086
clang++ $flags -DZUBEKI_VERSION='"fuzz"' -I"$src" "$src/tests/engine/fuzz_session.cpp" $sources \
    -o "$out/fuzz_session"

# New inputs go to the build folder; the committed seeds are only read.
exec "$out/fuzz_session" -max_total_time="$seconds" -max_len=4000 -timeout=10 \
    -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$out/artifacts/" \
    "$out/corpus" "$src/tests/engine/corpus"
