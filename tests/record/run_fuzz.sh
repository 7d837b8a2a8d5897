#!/bin/sh
# Builds the record readers' fuzzer with clang straight from the record and game sources (no Qt,
# no CMake of its own) and runs it for a while over the seed files in corpus/.
#   run_fuzz.sh <source folder> <output folder> [seconds]
# Without clang++ (or without its fuzzer runtime) there is nothing to do, and that is no failure.
set -eu
src=$1
out=$2
seconds=${3:-30}

what="the record readers"
. "$src/tests/fuzz_setup.sh"

# The record sources of this platform and the rules they check games by: no Windows files.
sources=$(ls "$src"/record/*.cpp "$src"/game/*.cpp | grep -v -e '_win\.cpp$' -e 'codepage_builtin\.cpp$')
# shellcheck disable=SC2086
clang++ $flags -I"$src" "$src/tests/record/fuzz_record_reader.cpp" $sources \
    -o "$out/fuzz_record_reader"

# New inputs go to the build folder; the committed seeds are only read.
exec "$out/fuzz_record_reader" -max_total_time="$seconds" -max_len=20000 -timeout=10 \
    -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$out/artifacts/" \
    "$out/corpus" "$src/tests/record/corpus"
