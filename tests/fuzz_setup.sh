# Sourced by the fuzzers' run_fuzz.sh scripts, with $out and $what set: makes the output
# folders and sets $flags for a libFuzzer build with clang, or ends the script with a notice
# (and no failure) where clang++ or its fuzzer runtime is missing.
if ! command -v clang++ >/dev/null 2>&1; then
    echo "run_fuzz.sh: clang++ is not on the PATH; $what is not fuzzed"
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
