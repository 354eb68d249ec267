#!/usr/bin/env bash
# Runs the skin loading benchmark of a 64-bit Windows build under wine64, on a private display.
# Usage: scripts/bench-skins.sh BUILD_DIR [--loads N]
set -euo pipefail
build=$(cd "$1" && pwd)
shift
root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/scripts/wine-session.sh"
wine_session_start "$build"
trap wine_session_stop EXIT
"$WINE64" "$build/bench/skins/skin_load_benchmark.exe" "$@"
