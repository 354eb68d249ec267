#!/usr/bin/env bash
# The download, as a user gets it: scripts/package.sh builds both zips; each is checked for its
# files, machine, imports and version (scripts/check-package.py); the 64-bit programs run under
# wine64 from the unpacked folder, with the simulated driver only in the prefix's system
# directory: lumivar --version and list, and the panel on the simulated boards, whose Apply must
# reach the first board. The .debs (the command line and the panel): the checks of
# scripts/check-package.py (man pages, desktop entry, metainfo, icons); no lintian error, and no
# lintian tag, even pedantic, for the panel that the command line has not; exactly their files
# with their modes, a dependency for every library a program needs, the panel's on lumivar of
# its version and its recommends, the unpacked lumivar runs and the unpacked panel draws its
# window on the fake machine's files (scripts/fake-linux-machine.sh). Then a second build of the
# same commit, in other folders, must give the same bytes, the .debs' included.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
cd "$root"
source scripts/builds.sh
setup_machine
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

(cd dist && sha256sum --check --quiet SHA256SUMS) || fail "SHA256SUMS does not match dist/"
deb="dist/lumivar_${version}_amd64.deb"
panel_deb="dist/lumivar-panel_${version}_amd64.deb"
# Every tag lintian finds, pedantic, informational and experimental ones included, one per line
# as "SEVERITY tag".
lintian_tags() {
    lintian --fail-on none --pedantic --display-info --display-experimental \
        --tag-display-limit 0 "$1" 2>/dev/null |
        sed -n 's/^\([EWIPXO]\): [^ ]*: \([^ ]*\).*/\1 \2/p' | sort -u
}
tags=$(lintian_tags "$deb") || fail "lintian cannot check $deb"
panel_tags=$(lintian_tags "$panel_deb") || fail "lintian cannot check $panel_deb"
! grep -q '^E ' <<<"$tags" || fail "lintian finds errors in $deb: $tags"
panel_only=$(comm -13 <(echo "$tags") <(echo "$panel_tags"))
[ -z "$panel_only" ] || fail "lintian finds in $panel_deb what it does not in $deb: $panel_only"

# A package's files and modes as they must be: every folder and file.
check_contents() { # DEB EXPECTED
    local contents
    contents=$(dpkg-deb -c "$1" | awk '{print $1, $2, $6}')
    [ "$contents" = "$2" ] || { diff <(echo "$2") <(echo "$contents") >&2; fail "$1 holds other files"; }
}
expected="drwxr-xr-x root/root ./usr/
drwxr-xr-x root/root ./usr/bin/
-rwxr-xr-x root/root ./usr/bin/lumivar
drwxr-xr-x root/root ./usr/lib/
drwxr-xr-x root/root ./usr/lib/modules-load.d/
-rw-r--r-- root/root ./usr/lib/modules-load.d/lumivar.conf
drwxr-xr-x root/root ./usr/lib/udev/
drwxr-xr-x root/root ./usr/lib/udev/rules.d/
-rw-r--r-- root/root ./usr/lib/udev/rules.d/70-lumivar.rules
drwxr-xr-x root/root ./usr/share/
drwxr-xr-x root/root ./usr/share/doc/
drwxr-xr-x root/root ./usr/share/doc/lumivar/
-rw-r--r-- root/root ./usr/share/doc/lumivar/changelog.gz
-rw-r--r-- root/root ./usr/share/doc/lumivar/copyright
drwxr-xr-x root/root ./usr/share/man/
drwxr-xr-x root/root ./usr/share/man/man1/
-rw-r--r-- root/root ./usr/share/man/man1/lumivar.1.gz"
check_contents "$deb" "$expected"
icons=./usr/share/icons/hicolor
id=com.voxa.lumivar.panel
panel_expected="drwxr-xr-x root/root ./usr/
drwxr-xr-x root/root ./usr/bin/
-rwxr-xr-x root/root ./usr/bin/lumivar-panel
drwxr-xr-x root/root ./usr/share/
drwxr-xr-x root/root ./usr/share/applications/
-rw-r--r-- root/root ./usr/share/applications/$id.desktop
drwxr-xr-x root/root ./usr/share/doc/
drwxr-xr-x root/root ./usr/share/doc/lumivar-panel/
-rw-r--r-- root/root ./usr/share/doc/lumivar-panel/changelog.gz
-rw-r--r-- root/root ./usr/share/doc/lumivar-panel/copyright
drwxr-xr-x root/root ./usr/share/icons/
drwxr-xr-x root/root $icons/
drwxr-xr-x root/root $icons/128x128/
drwxr-xr-x root/root $icons/128x128/apps/
-rw-r--r-- root/root $icons/128x128/apps/$id.png
drwxr-xr-x root/root $icons/256x256/
drwxr-xr-x root/root $icons/256x256/apps/
-rw-r--r-- root/root $icons/256x256/apps/$id.png
drwxr-xr-x root/root $icons/48x48/
drwxr-xr-x root/root $icons/48x48/apps/
-rw-r--r-- root/root $icons/48x48/apps/$id.png
drwxr-xr-x root/root $icons/scalable/
drwxr-xr-x root/root $icons/scalable/apps/
-rw-r--r-- root/root $icons/scalable/apps/$id.svg
drwxr-xr-x root/root ./usr/share/man/
drwxr-xr-x root/root ./usr/share/man/man1/
-rw-r--r-- root/root ./usr/share/man/man1/lumivar-panel.1.gz
drwxr-xr-x root/root ./usr/share/metainfo/
-rw-r--r-- root/root ./usr/share/metainfo/$id.metainfo.xml"
check_contents "$panel_deb" "$panel_expected"

# Every library a program needs comes from a package its .deb depends on.
check_depends() { # DEB PROGRAM
    local depended library path owner
    depended=$(dpkg-deb -f "$1" Depends | sed 's/ ([^)]*)//g; s/, /\n/g') # the package names alone
    for library in $(readelf -d "$2" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p'); do
        path=$(ldd "$2" | awk -v name="$library" '$1 == name { print $3 }')
        path=${path#/usr} # Debian 12 has some libraries under /lib, some under /usr/lib: one folder
        owner=$({ dpkg -S "$path" || dpkg -S "/usr$path"; } 2>/dev/null | head -1 | cut -d: -f1)
        grep -qxF "$owner" <<<"$depended" ||
            fail "$1 does not depend on $owner, whose $library the program needs"
    done
}
unpacked="$root/build/package/deb"
rm -rf "$unpacked"
mkdir -p "$unpacked"
dpkg-deb -x "$deb" "$unpacked"
dpkg-deb -x "$panel_deb" "$unpacked"
program="$unpacked/usr/bin/lumivar"
reported=$("$program" --version)
[ "$reported" = "lumivar $version" ] || fail "the unpacked lumivar --version says '$reported'"
check_depends "$deb" "$program"
check_depends "$panel_deb" "$unpacked/usr/bin/lumivar-panel"
panel_depends=$(dpkg-deb -f "$panel_deb" Depends)
grep -qF "lumivar (= $version)" <<<"$panel_depends" ||
    fail "$panel_deb does not depend on lumivar (= $version): $panel_depends"
recommends=$(dpkg-deb -f "$panel_deb" Recommends)
[ "$recommends" = "qt6-wayland, fonts-vlgothic | fonts-ipafont-gothic" ] ||
    fail "$panel_deb recommends '$recommends'"
# The unpacked panel starts on the fake machine's files and draws its window: the fixed client
# area of 464 x 401 below its menu bar.
source scripts/fake-linux-machine.sh
machine="$root/build/package/machine"
fake_linux_machine "$machine"
shot="$root/build/package/linux-panel.png"
rm -f "$shot"
LUMIVAR_ROOT="$machine" XDG_CONFIG_HOME="$machine/config" XDG_STATE_HOME="$machine/state" \
    XDG_RUNTIME_DIR="$machine/run" QT_QPA_PLATFORM=offscreen \
    timeout 60 "$unpacked/usr/bin/lumivar-panel" --screenshot "$shot" 2>/dev/null ||
    fail "the unpacked lumivar-panel did not draw its window on the fake machine"
size=$(identify -format '%wx%h' "$shot")
width=${size%x*} height=${size#*x}
[ "$width" = 464 ] && [ "$height" -gt 401 ] ||
    fail "the unpacked lumivar-panel drew a window of $width x $height"
echo "package: $deb and $panel_deb are lintian-clean, the panel's tags no more than the command" \
    "line's; they hold their $(wc -l <<<"$expected") and $(wc -l <<<"$panel_expected") entries;" \
    "they depend on $(dpkg-deb -f "$deb" Depends) and $panel_depends;" \
    "the unpacked lumivar runs, and the unpacked panel draws its window"

# The same commit again, in other build folders.
LUMIVAR_PACKAGE_BUILD=build/package-again LUMIVAR_DIST=build/package-again/dist \
    bash scripts/package.sh >/dev/null
if cmp dist/SHA256SUMS build/package-again/dist/SHA256SUMS; then
    echo "package: a second build gives the same bytes"
else
    diff dist/SHA256SUMS build/package-again/dist/SHA256SUMS >&2 || true
    fail "a second build of the same commit gives other bytes"
fi
