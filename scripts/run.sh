#!/usr/bin/env bash
# Builds the panel and starts it under Wine on the simulated driver's boards.
#   - installs what is missing on a Debian machine (scripts/setup-debian.sh)
#   - builds the 64-bit Windows program and the simulated driver in build/win64
#   - makes a Wine prefix of its own (build/run/wineprefix) with the simulated driver as the
#     system's driver module
#   - with a display ($DISPLAY) runs the panel there until it is closed; without one runs it on a
#     private Xvfb, saves a screenshot to build/screenshots/panel.png and ends it
# The simulated boards are two by default (an RTX 3080 and an RTX 2080 SUPER); set
# LUMIVAR_SIM_SCENARIO to a scenario file (see simdriver/README.md) for any other set of boards
# and faults.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

source scripts/builds.sh
setup_machine

build="$root/build/win64"
echo "Building the panel in $build"
configure_windows "$build" 64 ON
cmake --build "$build" --target LEDLumivar simdriver_dll
program="$build/panel/windows/LEDLumivar.exe"
driver="$build/simdriver/nvapi64.dll"

# The scenario file as the Windows side names it.
if [ -n "${LUMIVAR_SIM_SCENARIO:-}" ]; then
    scenario=$(realpath "$LUMIVAR_SIM_SCENARIO")
    export LUMIVAR_SIM_SCENARIO="Z:${scenario//\//\\}"
    echo "Boards and faults from $scenario"
else
    echo "Default simulated boards: NVIDIA GeForce RTX 3080, NVIDIA GeForce RTX 2080 SUPER"
fi

source scripts/wine-session.sh
if [ -n "${DISPLAY:-}" ]; then export LUMIVAR_KEEP_DISPLAY=1; else unset LUMIVAR_KEEP_DISPLAY; fi
mkdir -p "$root/build/run"
wine_session_start "$root/build/run"
trap wine_session_stop EXIT
cp "$driver" "$WINEPREFIX/drive_c/windows/system32/nvapi64.dll"

if [ -n "${LUMIVAR_KEEP_DISPLAY:-}" ]; then
    echo "Starting the panel on $DISPLAY; close its window to end."
    "$WINE64" "$program"
    exit 0
fi

# No display of the user's: a virtual desktop on the private Xvfb draws the caption and frame.
shots="$root/build/screenshots"
mkdir -p "$shots"
"$WINE64" explorer /desktop=Lumivar,800x600 "$program" >/dev/null 2>&1 &
if ! wine_session_window '^VOXA LED Lumivar$' >/dev/null; then
    import -window root "$shots/panel.png"
    echo "The panel's window did not appear (a start-up message may be showing):" \
        "see $shots/panel.png" >&2
    exit 1
fi
sleep 2  # let the window paint
desktop=$(xdotool search --name '^Lumivar - Wine desktop$' | head -n 1 || true)
if [ -n "$desktop" ]; then
    import -window "$desktop" "$shots/panel.png"
else
    import -window root "$shots/panel.png"
fi
echo "No display: the panel ran on a private Xvfb. Screenshot: $shots/panel.png"
