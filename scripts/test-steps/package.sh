#!/usr/bin/env bash
# The download, as a user gets it: scripts/package.sh builds both zips; each is checked for its
# files, machine, imports and version (scripts/check-package.py); the 64-bit programs run under
# wine64 from the unpacked folder, with the simulated driver only in the prefix's system
# directory: lumivar --version and list, and the panel on the simulated boards, whose Apply must
# reach the first board; then a second build of the same commit, in other folders, must give the
# same bytes.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
cd "$root"
bash scripts/package.sh
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/package/win64/CMakeCache.txt)
python3 scripts/check-package.py dist "$version"

work="$root/build/package/run"
rm -rf "$work"
mkdir -p "$work"
(cd "$work" && python3 -m zipfile -e "$root/dist/LEDLumivar-$version-win64.zip" .)
folder="$work/LEDLumivar-$version-win64"
source scripts/wine-session.sh
wine_session_start "$root/build/package"
trap wine_session_stop EXIT
if [ -e "$WINEPREFIX/drive_c/windows/system32/nvapi64.dll" ] &&
    ! [ -e "$folder/nvapi64.dll" ]; then
    echo "package: the simulated driver is in the prefix's system directory only"
else
    echo "package: the simulated driver is not where the check needs it" >&2
    exit 1
fi
printf 'log %s\ndefault-gpus\n' "$work/driver.log" >"$work/boards.txt"
export LUMIVAR_SIM_SCENARIO="$work/boards.txt"
cd "$folder"

fail() { echo "package: $*" >&2; exit 1; }
reported=$("$WINE64" lumivar.exe --version | tr -d '\r')
[ "$reported" = "lumivar $version" ] || fail "lumivar --version says '$reported'"
listed=$("$WINE64" lumivar.exe list | tr -d '\r')
echo "$listed"
grep -q '3000.*NVIDIA GeForce RTX 3080' <<<"$listed" &&
    grep -q '2000.*NVIDIA GeForce RTX 2080 SUPER' <<<"$listed" ||
    fail "lumivar list does not show the two simulated boards"

"$WINE64" LEDLumivar.exe >/dev/null 2>&1 &
window=$(wine_session_window '^VOXA LED Lumivar$') || fail "the panel's window did not appear"
sleep 1.5 # shown and painted; without a window manager the X window is the client area
eval "$(xdotool getwindowgeometry --shell "$window")"
# Apply: 100 x 47 at (240, 346) of the client area.
xdotool mousemove $((X + 290)) $((Y + 369)) sleep 0.4 click 1
applied=""
for _ in $(seq 1 50); do
    applied=$(grep -c '"board":1,"family":3000,"on":true,"mode":"STATIC"' "$work/driver.log" || true)
    [ "$applied" -gt 0 ] && break
    sleep 0.2
done
[ "$applied" -gt 0 ] || fail "the panel's Apply did not reach the first simulated board"
echo "package: the unpacked panel found the simulated boards and its Apply lit the first one"
cd "$root"
wine_session_stop
trap - EXIT

# The same commit again, in other build folders.
LUMIVAR_PACKAGE_BUILD=build/package-again LUMIVAR_DIST=build/package-again/dist \
    bash scripts/package.sh >/dev/null
if cmp dist/SHA256SUMS build/package-again/dist/SHA256SUMS; then
    echo "package: a second build gives the same bytes"
else
    diff dist/SHA256SUMS build/package-again/dist/SHA256SUMS >&2 || true
    fail "a second build of the same commit gives other bytes"
fi
