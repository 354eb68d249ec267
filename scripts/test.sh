#!/usr/bin/env bash
# Sets up a fresh Debian machine if needed, builds every configuration and runs every test:
# the layering and test-share checks, native, AddressSanitizer+UBSan, ThreadSanitizer (threaded
# tests), Windows x86_64 under Wine, Windows i686 (build only, tests off), the shipped programs'
# check, the bounded fuzz run and the download (scripts/test-steps/).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash scripts/setup-debian.sh
jobs=$(nproc)

configure_and_build() {
    local dir=$1
    shift
    cmake -S . -B "build/$dir" -G Ninja "$@" >/dev/null
    cmake --build "build/$dir" -j "$jobs" ${LUMIVAR_TARGETS:+--target $LUMIVAR_TARGETS}
}

started=$SECONDS
step() { echo; echo "=== $* (at $((SECONDS - started)) s)"; }

step "layers and test share"
python3 scripts/check-layers.py >/dev/null
bash scripts/test-share.sh

step "native build and tests"
configure_and_build native -DCMAKE_BUILD_TYPE=Debug
ctest --test-dir build/native --output-on-failure -j "$jobs"

step "AddressSanitizer + UndefinedBehaviorSanitizer"
configure_and_build asan -DCMAKE_BUILD_TYPE=Debug -DLUMIVAR_SANITIZE=address
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    ctest --test-dir build/asan --output-on-failure -j "$jobs"

step "ThreadSanitizer (threaded tests)"
LUMIVAR_TARGETS="nvapi_thread_tests simdriver_threaded_tests" \
    configure_and_build tsan -DCMAKE_BUILD_TYPE=Debug -DLUMIVAR_SANITIZE=thread
TSAN_OPTIONS=halt_on_error=1 ctest --test-dir build/tsan --output-on-failure -L threaded

# Both Windows builds stand in the download's own build folders, with its settings: packing them
# later (tests off) builds nothing again; the second, clean build of the download still has to
# give the same bytes.
step "Windows x86_64 build, tests under Wine"
configure_and_build package/win64 -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=ON \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw64.cmake"
bash scripts/wine-tests.sh build/package/win64

step "Windows i686 build (compile and link only)"
configure_and_build package/win32 -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw32.cmake"

step "the shipped programs"
bash scripts/check-release-programs.sh build/package/win64 build/package/win32

for extra in scripts/test-steps/*.sh; do
    [ -e "$extra" ] || continue
    step "$(basename "$extra" .sh)"
    bash "$extra"
done
echo
echo "All builds and tests passed in $((SECONDS - started)) s."
