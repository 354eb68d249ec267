#!/usr/bin/env bash
# Takes the README's pictures of the panel and of the help popup: the program in a Wine virtual
# desktop (which draws the window frame), driven by the picker's end-to-end harness. Xvfb has no
# compositor, so the popup reads back opaque; its picture is blended over the panel at the
# popup's alpha (192 of 255), as a compositing desktop shows it.
# Usage: scripts/docs-screenshots.sh [BUILD_DIR (default build/win64)]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath "${1:-$root/build/win64}")
cmake --build "$build" --target picker_e2e_test LEDLumivar simdriver_dll >/dev/null
source "$root/scripts/wine-session.sh"
wine_session_start "$build"
trap wine_session_stop EXIT
work="$build/tests/panel/windows/picker_e2e/work"
mkdir -p "$work"
rm -f "$work/panel-full.png" "$work/help-popup-opaque.png"
"$WINE64" explorer /desktop=lumivar,640x540 "$build/tests/panel/windows/picker_e2e/picker_e2e_test.exe" \
    --gtest_also_run_disabled_tests --gtest_filter=Screenshots.* \
    --program="$build/panel/windows/LEDLumivar.exe" --work="$work" --reference="$root/tests/panel/windows/picker_e2e/reference"
for i in $(seq 1 600); do
    [ -f "$work/help-popup-opaque.png" ] && break
    sleep 0.1
done
sleep 1
mkdir -p "$root/docs"
cp "$work/panel-full.png" "$root/docs/panel-full.png"
# The popup starts 8 pixels in from the window's left edge and is 16 narrower, 8 shorter.
size=$(identify -format '%wx%h' "$work/panel-full.png")
width=${size%x*}
height=${size#*x}
convert "$work/panel-full.png" \
    \( "$work/help-popup-opaque.png" -crop "$((width - 16))x$((height - 8))+8+0" +repage \
       -alpha set -channel A -evaluate set 75.3% +channel \) \
    -geometry +8+0 -composite "$root/docs/help-popup.png"
echo "wrote docs/panel-full.png and docs/help-popup.png"
