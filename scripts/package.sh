#!/usr/bin/env bash
# Builds the download: both release configurations (64- and 32-bit Windows, tests off) and a
# native Linux one, each packed by its `package` target, and leaves LEDLumivar-VERSION-win64.zip,
# LEDLumivar-VERSION-win32.zip, lumivar_VERSION_amd64.deb, lumivar-panel_VERSION_amd64.deb (where
# the build has the Qt panel) and SHA256SUMS in dist/. The same commit gives the same bytes. The
# builds' settings are in scripts/builds.sh.
# LUMIVAR_PACKAGE_BUILD (default build/package) and LUMIVAR_DIST (default dist) move the build
# folders and the result.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
source scripts/builds.sh
setup_machine
builds=$(realpath -m "${LUMIVAR_PACKAGE_BUILD:-build/package}")
dist=$(realpath -m "${LUMIVAR_DIST:-dist}")

mkdir -p "$dist"
rm -f "$dist"/LEDLumivar-*.zip "$dist"/lumivar_*.deb "$dist"/lumivar-panel_*.deb "$dist/SHA256SUMS"
for kind in win64 win32 linux; do
    build="$builds/$kind"
    configure_download "$build" "$kind"
    rm -f "$build"/LEDLumivar-*.zip "$build"/lumivar_*.deb "$build"/lumivar-panel_*.deb
    cmake --build "$build" --target package -j "$(nproc)" >"$build.log" 2>&1 ||
        { cat "$build.log"; exit 1; }
    if [ "$kind" = linux ]; then
        cp "$build"/lumivar_*.deb "$dist/"
        if compgen -G "$build/lumivar-panel_*.deb" >/dev/null; then
            cp "$build"/lumivar-panel_*.deb "$dist/"
        fi
    else
        cp "$build"/LEDLumivar-*-"$kind".zip "$dist/"
    fi
done

(cd "$dist" && sha256sum LEDLumivar-*.zip lumivar*_*.deb >SHA256SUMS)
echo "package: in $dist:"
cat "$dist/SHA256SUMS"
