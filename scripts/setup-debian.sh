#!/usr/bin/env bash
# Installs what building and testing need on a Debian 12 machine; does nothing when all is there.
set -euo pipefail
packages=(
    cmake ninja-build g++ clang libclang-rt-14-dev clang-format googletest libgtest-dev
    nlohmann-json3-dev libcli11-dev libsystemd-dev zlib1g-dev pkg-config dbus-daemon
    g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix binutils-mingw-w64-x86-64
    binutils-mingw-w64-i686 mingw-w64-tools
    wine64 wine fonts-wine xvfb xdotool x11-utils imagemagick fonts-ipafont-gothic python3
    dpkg-dev lintian faketime
    qt6-base-dev qt6-wayland fonts-vlgothic desktop-file-utils appstream mandoc librsvg2-bin
)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then exit 0; fi
sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo=sudo; fi
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
