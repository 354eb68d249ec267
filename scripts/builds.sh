# Sourced by the scripts that set up the machine and build (test.sh, package.sh, run.sh and the
# test steps): the settings of every build folder they share, in one place.
#   setup_machine                   - installs what is missing (scripts/setup-debian.sh), once per
#                                     run: it exports LUMIVAR_SETUP_DONE=1, and the scripts the
#                                     run starts after that skip the check
#   configure_windows DIR BITS TESTING
#                                   - DIR as a Release build for 64- or 32-bit Windows (BITS 64
#                                     or 32), with the tests ON or OFF
#   configure_download DIR KIND     - DIR as the download's build of KIND: win64 or win32 (as
#                                     configure_windows, tests OFF) or linux (Release with
#                                     Debian's hardening flags)
#   configure_fuzz DIR              - DIR as the clang build of the fuzz targets
# test.sh builds and tests in the download's own folders and package.sh packs from them: with
# the same settings, packing compiles nothing again.
lumivar_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# Every build the scripts run is dated with the last commit (or the caller's SOURCE_DATE_EPOCH):
# tools that would stamp their output with a time take it instead. Qt's rcc stamps each resource
# with its file's time, which a fresh clone sets to the checkout's.
if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
    SOURCE_DATE_EPOCH=$(git -C "$lumivar_root" log -1 --format=%ct 2>/dev/null || true)
    export SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-1704067200} # 2024-01-01, as the zip's fallback
fi

setup_machine() {
    if [ "${LUMIVAR_SETUP_DONE:-}" != 1 ]; then
        bash "$lumivar_root/scripts/setup-debian.sh"
        export LUMIVAR_SETUP_DONE=1
    fi
}

configure_windows() {
    local dir=$1 bits=$2 testing=$3 toolchain
    case $bits in
        64) toolchain=mingw64 ;;
        32) toolchain=mingw32 ;;
        *) echo "configure_windows: BITS is 64 or 32, not '$bits'" >&2; return 1 ;;
    esac
    cmake -S "$lumivar_root" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DBUILD_TESTING="$testing" \
        -DCMAKE_TOOLCHAIN_FILE="$lumivar_root/cmake/toolchain-$toolchain.cmake" >/dev/null
}

configure_download() {
    local dir=$1 kind=$2
    case $kind in
        win64) configure_windows "$dir" 64 OFF ;;
        win32) configure_windows "$dir" 32 OFF ;;
        linux)
            # CMake reads no CPPFLAGS, so they join the compiler's. The build folder's own name
            # would reach the debug information and with it the program's build id;
            # dpkg-buildflags already maps the source folder.
            dir=$(realpath -m "$dir")
            local compile_flags
            compile_flags="$(debian_flags CPPFLAGS) -ffile-prefix-map=$dir=."
            cmake -S "$lumivar_root" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release \
                -DBUILD_TESTING=OFF \
                -DCMAKE_C_FLAGS="$(debian_flags CFLAGS) $compile_flags" \
                -DCMAKE_CXX_FLAGS="$(debian_flags CXXFLAGS) $compile_flags" \
                -DCMAKE_EXE_LINKER_FLAGS="$(debian_flags LDFLAGS)" >/dev/null
            ;;
        *) echo "configure_download: KIND is win64, win32 or linux, not '$kind'" >&2; return 1 ;;
    esac
}

debian_flags() {
    (cd "$lumivar_root" && DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --get "$1")
}

configure_fuzz() {
    cmake -S "$lumivar_root" -B "$1" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DLUMIVAR_FUZZ=ON \
        -DBUILD_TESTING=OFF >/dev/null
}
