#!/usr/bin/env bash
# Bounded fuzz runs (libFuzzer with AddressSanitizer and UBSan) of the two readers of outside
# input: the skin decoder, seeded with fuzz/corpus, and the settings reader, seeded with
# fuzz/settings-corpus. Each run works on a copy of its corpus in build/fuzz, so the committed ones
# stay as they are. Fails on any crash or sanitizer report. The two runs go side by side, each on
# a processor of its own.
# Built by CMake in a clang configuration of its own (build/fuzz/build, see scripts/builds.sh).
# Usage: scripts/test-steps/fuzz.sh [SECONDS]   (each target; default 30)
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
seconds=${1:-${LUMIVAR_FUZZ_SECONDS:-30}}
out="$root/build/fuzz"
mkdir -p "$out"
source "$root/scripts/builds.sh"
configure_fuzz "$out/build"
cmake --build "$out/build" --target skin_decoder_fuzzer settings_reader_fuzzer

# fuzz TARGET SEED_FOLDER MAX_LEN WHAT
fuzz() {
    local target=$1 seeds=$2 max_len=$3 what=$4
    local work="$out/$target"
    rm -rf "$work"
    mkdir -p "$work/corpus" "$work/artifacts"
    cp "$seeds"/* "$work/corpus/"
    echo "Fuzzing the $what for ${seconds} s"
    ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
        "$out/build/fuzz/$target" -max_total_time="$seconds" -rss_limit_mb=2048 \
        -max_len="$max_len" -artifact_prefix="$work/artifacts/" -print_final_stats=1 \
        "$work/corpus" 2>"$work/fuzz.log" || {
        tail -n 60 "$work/fuzz.log"
        echo "fuzz: the $what failed; the input is in $work/artifacts/" >&2
        exit 1
    }
    grep -E '^(Done|stat::number_of_executed_units)' "$work/fuzz.log" || true
    echo "fuzz: the $what: no crash and no sanitizer report"
}

# Each run's lines are printed together when both are done.
fuzz skin_decoder_fuzzer "$root/fuzz/corpus" 4096 "skin decoder" >"$out/skin.out" 2>&1 &
skins=$!
fuzz settings_reader_fuzzer "$root/fuzz/settings-corpus" 8192 "settings reader" \
    >"$out/settings.out" 2>&1 &
settings=$!
failed=0
wait "$skins" || failed=1
wait "$settings" || failed=1
cat "$out/skin.out" "$out/settings.out"
exit "$failed"
