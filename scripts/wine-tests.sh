#!/usr/bin/env bash
# Runs the Windows tests of a 64-bit cross build under wine64: a Wine prefix of the build's own,
# the simulated driver installed as the system's driver module, and a private Xvfb display.
# Usage: scripts/wine-tests.sh BUILD_DIR [ctest arguments...]
set -euo pipefail
build=$(cd "$1" && pwd)
shift
here=$(cd "$(dirname "$0")" && pwd)
source "$here/wine-session.sh"
wine_session_start "$build"
trap wine_session_stop EXIT
ctest --test-dir "$build" --output-on-failure -L wine "$@"
