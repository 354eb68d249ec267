#!/usr/bin/env bash
# Builds the download: both release configurations (64- and 32-bit Windows, tests off) and a
# native Linux one, each packed by its `package` target, and leaves LEDLumivar-VERSION-win64.zip,
# LEDLumivar-VERSION-win32.zip, lumivar_VERSION_amd64.deb and SHA256SUMS in dist/. The same
# commit gives the same bytes.
# LUMIVAR_PACKAGE_BUILD (default build/package) and LUMIVAR_DIST (default dist) move the build
# folders and the result.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash scripts/setup-debian.sh
builds=$(realpath -m "${LUMIVAR_PACKAGE_BUILD:-build/package}")
dist=$(realpath -m "${LUMIVAR_DIST:-dist}")

mkdir -p "$dist"
rm -f "$dist"/LEDLumivar-*.zip "$dist"/lumivar_*.deb "$dist/SHA256SUMS"
for bits in 64 32; do
    case $bits in 64) toolchain=mingw64 ;; 32) toolchain=mingw32 ;; esac
    cmake -S . -B "$builds/win$bits" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF \
        -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-$toolchain.cmake" >/dev/null
    rm -f "$builds/win$bits"/LEDLumivar-*.zip
    cmake --build "$builds/win$bits" --target package -j "$(nproc)" >"$builds/win$bits.log" 2>&1 ||
        { cat "$builds/win$bits.log"; exit 1; }
    cp "$builds/win$bits"/LEDLumivar-*-win$bits.zip "$dist/"
done

# Linux: Release with Debian's hardening flags (CMake reads no CPPFLAGS, so they join the
# compiler's). The build folder's own name would reach the debug information and with it the
# program's build id; dpkg-buildflags already maps the source folder.
linux="$builds/linux"
debian_flags() { DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --get "$1"; }
compile_flags="$(debian_flags CPPFLAGS) -ffile-prefix-map=$linux=."
cmake -S . -B "$linux" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF \
    -DCMAKE_C_FLAGS="$(debian_flags CFLAGS) $compile_flags" \
    -DCMAKE_CXX_FLAGS="$(debian_flags CXXFLAGS) $compile_flags" \
    -DCMAKE_EXE_LINKER_FLAGS="$(debian_flags LDFLAGS)" >/dev/null
rm -f "$linux"/lumivar_*.deb
cmake --build "$linux" --target package -j "$(nproc)" >"$linux.log" 2>&1 ||
    { cat "$linux.log"; exit 1; }
cp "$linux"/lumivar_*.deb "$dist/"

(cd "$dist" && sha256sum LEDLumivar-*.zip lumivar_*.deb >SHA256SUMS)
echo "package: in $dist:"
cat "$dist/SHA256SUMS"
