#!/usr/bin/env bash
# Runs the paint benchmark of a 64-bit cross build under wine64 and prints its figures.
# Usage: scripts/bench-paint.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
cmake --build "$build" --target paint_benchmark
source "$here/wine-session.sh"
wine_session_start "$build"
trap wine_session_stop EXIT
"$WINE64" "$build/bench/paint/paint_benchmark.exe"
