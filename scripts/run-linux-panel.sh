#!/usr/bin/env bash
# Builds the Linux panel and starts it on simulated boards, as scripts/run.sh does for the
# Windows one:
#   - installs what is missing on a Debian machine (scripts/setup-debian.sh)
#   - builds lumivar-panel and the tests' stand-in for /dev/i2c-N in build/native
#   - lays out the tests' fake machine in build/run-linux/machine: the sysfs and /proc files of two
#     NVIDIA GPUs with SKARNE boards, an RTX 3080 (family 3000) and an RTX 2080 SUPER (family
#     2000), each with its LED controller on one of its adapters, and a settings folder of its own
#   - with a display ($DISPLAY or $WAYLAND_DISPLAY) runs the panel there until it is closed; what
#     Apply and Reset send goes to build/run-linux/machine/i2c.log. Without one it draws the window
#     off screen, saves it to build/screenshots/linux-panel.png and says so.
# Nothing outside build/ is read or written: no real adapter, settings file or keeper is touched.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

source scripts/builds.sh
setup_machine

build="$root/build/native"
echo "Building the panel in $build"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build "$build" --target lumivar-panel lumivar_fake_i2c
program="$build/panel/linux/lumivar-panel"
fake_i2c=$(find "$build/tests" -name liblumivar_fake_i2c.so | head -n 1)

machine="$root/build/run-linux/machine"
source scripts/linux-fake-machine.sh
fake_linux_machine "$machine"
echo "Simulated boards: NVIDIA GeForce RTX 3080, NVIDIA GeForce RTX 2080 SUPER"

# A Wayland display's socket is found in the runtime folder, which the panel gets its own of.
if [ -n "${WAYLAND_DISPLAY:-}" ] && [ "${WAYLAND_DISPLAY:0:1}" != / ]; then
    export WAYLAND_DISPLAY="${XDG_RUNTIME_DIR:-/run/user/$(id -u)}/$WAYLAND_DISPLAY"
fi
export LUMIVAR_ROOT="$machine" XDG_CONFIG_HOME="$machine/config" XDG_STATE_HOME="$machine/state"
export XDG_RUNTIME_DIR="$machine/run"

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
    echo "Starting the panel; close its window to end. What it sends: $machine/i2c.log"
    LD_PRELOAD="$fake_i2c" "$program"
    exit 0
fi

shots="$root/build/screenshots"
mkdir -p "$shots"
# The offscreen platform warns that it cannot pass size hints to a window manager it lacks.
LD_PRELOAD="$fake_i2c" QT_QPA_PLATFORM=offscreen "$program" --screenshot "$shots/linux-panel.png" \
    2> >(grep -v 'does not support propagateSizeHints' >&2)
echo "No display: the panel was drawn off screen. Screenshot: $shots/linux-panel.png"
