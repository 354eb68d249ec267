#!/usr/bin/env bash
# Start-up and Apply timings of the panel under wine64, against a bare window of the same size.
# Usage: scripts/bench-startup.sh [BUILD_DIR (default build/win64)] [runs (default 10)]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath "${1:-$root/build/win64}")
runs=${2:-10}
source "$root/scripts/builds.sh"
configure_windows "$build" 64 ON
cmake --build "$build" --target startup_benchmark >/dev/null
source "$root/scripts/wine-session.sh"
wine_session_start "$build"
trap wine_session_stop EXIT
"$WINE64" "$build/bench/startup/startup_benchmark.exe" --panel="$build/panel/windows/LEDLumivar.exe" \
    --bare="$build/bench/startup/bare_window.exe" --work="$build/bench/startup/work" \
    --runs="$runs"
