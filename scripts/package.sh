#!/usr/bin/env bash
# Builds the download: both release configurations (64- and 32-bit Windows, tests off), each
# packed by its `package` target, and leaves LEDLumivar-VERSION-win64.zip,
# LEDLumivar-VERSION-win32.zip and SHA256SUMS in dist/. The same commit gives the same bytes.
# LUMIVAR_PACKAGE_BUILD (default build/package) and LUMIVAR_DIST (default dist) move the build
# folders and the result.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash scripts/setup-debian.sh
builds=$(realpath -m "${LUMIVAR_PACKAGE_BUILD:-build/package}")
dist=$(realpath -m "${LUMIVAR_DIST:-dist}")

mkdir -p "$dist"
rm -f "$dist"/LEDLumivar-*.zip "$dist/SHA256SUMS"
for bits in 64 32; do
    case $bits in 64) toolchain=mingw64 ;; 32) toolchain=mingw32 ;; esac
    cmake -S . -B "$builds/win$bits" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF \
        -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-$toolchain.cmake" >/dev/null
    rm -f "$builds/win$bits"/LEDLumivar-*.zip
    cmake --build "$builds/win$bits" --target package -j "$(nproc)" >"$builds/win$bits.log" 2>&1 ||
        { cat "$builds/win$bits.log"; exit 1; }
    cp "$builds/win$bits"/LEDLumivar-*-win$bits.zip "$dist/"
done
(cd "$dist" && sha256sum LEDLumivar-*.zip >SHA256SUMS)
echo "package: in $dist:"
cat "$dist/SHA256SUMS"
