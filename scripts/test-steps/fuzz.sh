#!/usr/bin/env bash
# Bounded fuzz run of the skin decoder (libFuzzer with AddressSanitizer and UBSan), seeded with
# fuzz/corpus. The run works on a copy of the corpus in build/fuzz, so the committed one stays
# as it is. Fails on any crash or sanitizer report.
# Built by CMake in a clang configuration of its own (build/fuzz/build).
# Usage: scripts/test-steps/fuzz.sh [SECONDS]   (default 60)
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
seconds=${1:-${LUMIVAR_FUZZ_SECONDS:-60}}
out="$root/build/fuzz"
mkdir -p "$out"
rm -rf "$out/corpus" "$out/artifacts"
mkdir -p "$out/corpus" "$out/artifacts"
cp "$root"/fuzz/corpus/* "$out/corpus/"

cmake -S "$root" -B "$out/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DLUMIVAR_FUZZ=ON -DBUILD_TESTING=OFF \
    >/dev/null
cmake --build "$out/build" --target skin_decoder_fuzzer

echo "Fuzzing the skin decoder for ${seconds} s"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    "$out/build/fuzz/skin_decoder_fuzzer" -max_total_time="$seconds" -rss_limit_mb=2048 -max_len=4096 \
    -artifact_prefix="$out/artifacts/" -print_final_stats=1 "$out/corpus" 2>"$out/fuzz.log" || {
    tail -n 60 "$out/fuzz.log"
    echo "fuzz: the skin decoder failed; the input is in $out/artifacts/" >&2
    exit 1
}
grep -E '^(Done|stat::number_of_executed_units)' "$out/fuzz.log" || true
echo "fuzz: no crash and no sanitizer report"
