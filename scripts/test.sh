#!/usr/bin/env bash
# Sets up a fresh Debian machine if needed, builds every configuration and runs every test, in
# these steps: the layering and test-share checks; native; AddressSanitizer+UBSan;
# ThreadSanitizer (threaded tests); Windows x86_64 built, then its tests under Wine; Windows i686
# (build only, tests off); the shipped programs' check; the bounded fuzz run
# (scripts/test-steps/fuzz.sh); the download (scripts/test-steps/package.sh). Each step's start
# is printed, and at the end how long each took.
# The builds that no step needs before the i686 one (the i686 build itself, the fuzz targets, the
# download's Linux build and the second, clean build of the whole download for its same-bytes
# check) run from the start at idle priority, beside the steps before: they take the processors
# only where those leave them idle (the tests, above all the Wine tests, which mostly wait), and
# the later steps find them done. build/background-builds.log has their output.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
source scripts/builds.sh
setup_machine
jobs=$(nproc)

started=$SECONDS
step_names=()
step_starts=()
step() {
    step_names+=("$1")
    step_starts+=($((SECONDS - started)))
    echo
    echo "=== $1 (at $((SECONDS - started)) s)"
}

background_builds() {
    # Idle priority: any other program gets the processors whenever it wants them.
    chrt --idle -p 0 "$BASHPID"
    mark() { echo "=== $1 (at $((SECONDS - started)) s)"; }
    mark "the i686 build"
    configure_download build/package/win32 win32
    cmake --build build/package/win32 -j "$jobs"
    mark "the fuzz targets"
    configure_fuzz build/fuzz/build
    cmake --build build/fuzz/build -j "$jobs" --target skin_decoder_fuzzer settings_reader_fuzzer
    mark "the download's Linux build, then the second build of all three"
    configure_download build/package/linux linux
    cmake --build build/package/linux -j "$jobs"
    local kind
    for kind in win64 win32 linux; do
        configure_download "build/package-again/$kind" "$kind"
        cmake --build "build/package-again/$kind" -j "$jobs"
    done
    mark "done"
}
# In a process group of its own (set -m), which a failure ends as a whole.
mkdir -p build
set -m
background_builds >build/background-builds.log 2>&1 &
background=$!
set +m
trap 'kill -- -"$background" 2>/dev/null || true' EXIT

step "layers and test share"
python3 scripts/check-layers.py >/dev/null
bash scripts/test-share.sh

step "native build and tests"
cmake -S . -B build/native -G Ninja -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build build/native -j "$jobs"
ctest --test-dir build/native --output-on-failure -j "$jobs"

step "AddressSanitizer + UndefinedBehaviorSanitizer"
cmake -S . -B build/asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DLUMIVAR_SANITIZE=address >/dev/null
cmake --build build/asan -j "$jobs"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    ctest --test-dir build/asan --output-on-failure -j "$jobs"

step "ThreadSanitizer (threaded tests)"
cmake -S . -B build/tsan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DLUMIVAR_SANITIZE=thread >/dev/null
cmake --build build/tsan -j "$jobs" --target nvapi_thread_tests simdriver_threaded_tests
TSAN_OPTIONS=halt_on_error=1 ctest --test-dir build/tsan --output-on-failure -L threaded

# Both Windows builds stand in the download's own build folders, with its settings: packing them
# later (tests off) builds nothing again; the second, clean build of the download in
# build/package-again still has to give the same bytes.
step "Windows x86_64 build"
configure_windows build/package/win64 64 ON
cmake --build build/package/win64 -j "$jobs"

step "Windows x86_64 tests under Wine"
bash scripts/wine-tests.sh build/package/win64

step "Windows i686 build (compile and link only), the fuzz targets, the download's builds: the rest"
wait "$background" || { cat build/background-builds.log; exit 1; }
trap - EXIT
grep '^===' build/background-builds.log | sed 's/^=== /beside the steps: /'

step "the shipped programs"
bash scripts/check-release-programs.sh build/package/win64 build/package/win32

step "fuzz"
bash scripts/test-steps/fuzz.sh

step "the download"
bash scripts/test-steps/package.sh

total=$((SECONDS - started))
step_starts+=("$total")
echo
echo "Steps:"
for i in "${!step_names[@]}"; do
    printf '%6d s  %s\n' $((step_starts[i + 1] - step_starts[i])) "${step_names[$i]}"
done
echo "All builds and tests passed in $total s."
