#!/usr/bin/env bash
# An independent reader (ImageMagick) must take the pictures, unscrambled, as 24-bit bitmaps of
# the right size, the right way up, and the icon file as four icons.
# Usage: identify-skins.sh SKIN_GENERATOR WORK_DIR
set -u
generator=$1
work=$2
if ! command -v identify >/dev/null; then
    echo "identify (ImageMagick) is not installed" >&2
    if [ "${CI:-}" = true ]; then exit 1; fi
    exit 77
fi
rm -rf "$work"
mkdir -p "$work"
"$generator" --plain "$work" || exit 1

failures=0
expect() {  # FILE FORMAT EXPECTED
    local out
    out=$(identify -format "$2" "$1" 2>&1)
    if [ "$out" != "$3" ]; then
        echo "FAIL $(basename "$1"): got '$out', expected '$3'" >&2
        failures=$((failures + 1))
    else
        echo "ok   $(basename "$1"): $out"
    fi
}

# Format, size, direct colour with 8 bits in each of three channels (24-bit), nothing to warn of.
header='%m %wx%h %r %z %[channels]'
expect "$work/skin1.bmp" "$header" "BMP2 300x300 DirectClass sRGB  8 srgb"
expect "$work/skin2.bmp" "$header" "BMP2 75x38 DirectClass sRGB  8 srgb"
# Disc centre white, pure red at the right rim, yellow-green on top, violet at the bottom: the
# rows are read the right way up.
expect "$work/skin1.bmp" '%[pixel:p{150,150}] %[pixel:p{297,150}] %[pixel:p{150,3}] %[pixel:p{150,297}]' \
    "srgb(255,255,255) srgb(255,0,0) srgb(128,255,0) srgb(128,0,255)"
expect "$work/lumivar.ico" '%m %wx%h %z %[channels]\n' \
    "$(printf 'ICO 16x16 8 srgba\nICO 24x24 8 srgba\nICO 32x32 8 srgba\nICO 48x48 8 srgba\n')"
echo "$((4 - failures)) passed, $failures failed"
[ "$failures" -eq 0 ]
