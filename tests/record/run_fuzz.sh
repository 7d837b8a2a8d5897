#!/bin/sh
# Builds the record reader's fuzzer with clang straight from the record sources (no Qt, no CMake
# of its own) and runs it for a while over the seed records in corpus/.
#   run_fuzz.sh <source folder> <output folder> [seconds]
# Without clang++ (or without its fuzzer runtime) there is nothing to do, and that is no failure.
set -eu
src=$1
out=$2
seconds=${3:-30}

if ! command -v clang++ >/dev/null 2>&1; then
    echo "run_fuzz.sh: clang++ is not on the PATH; the record reader is not fuzzed"
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

# The record sources of this platform: everything but the Windows files.
sources=$(ls "$src"/record/*.cpp | grep -v '_win\.cpp$')
# shellcheck disable=SC2086
clang++ $flags -I"$src" "$src/tests/record/fuzz_record_reader.cpp" $sources \
    -o "$out/fuzz_record_reader"

# New inputs go to the build folder; the committed seeds are only read.
exec "$out/fuzz_record_reader" -max_total_time="$seconds" -max_len=20000 -timeout=10 \
    -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$out/artifacts/" \
    "$out/corpus" "$src/tests/record/corpus"
