#!/usr/bin/env bash
# Drag benchmark under wine64: the CPU time the panel spends on a scripted drag over the hue disc
# (button held, xdotool moving the pointer round the disc), against the same drag over a window
# with the same fifteen controls that only receives the moves (bench/drag), in one run, as a
# ratio. CPU time is that of the wine64 process running each program (user + system, fields 14
# and 15 of /proc/PID/stat), from the press to a short settling time after the release.
# Usage: scripts/bench-drag.sh [BUILD_DIR (default build/win64)] [moves (default 300)] [rounds (default 3)]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath "${1:-$root/build/win64}")
moves=${2:-300}
rounds=${3:-3}
cmake --build "$build" --target LEDLumivar simdriver_dll drag_controls_window >/dev/null
source "$root/scripts/wine-session.sh"
wine_session_start "$build"
running=""
stop_all() {
    if [ -n "$running" ]; then kill "$running" 2>/dev/null || true; fi
    wine_session_stop
}
trap stop_all EXIT
ticks=$(getconf CLK_TCK)
title='^VOXA LED Lumivar$'

# One xdotool command line: to the rim of a circle of radius 100 round the disc centre, press,
# then `moves` moves round it 10 ms apart (three turns), and release where the drag ended.
drag_script() {
    local cx=$1 cy=$2
    awk -v cx="$cx" -v cy="$cy" -v n="$moves" 'BEGIN {
        printf "mousemove %d %d sleep 0.4 mousedown 1 sleep 0.1", cx + 100, cy
        for (i = 1; i <= n; i++) {
            a = i * 3 * 2 * 3.14159265358979 / n
            printf " mousemove %d %d sleep 0.01", cx + int(100 * cos(a)), cy + int(100 * sin(a))
        }
        printf " mouseup 1 sleep 0.1 mousemove 5 5\n"
    }'
}

cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }

# Starts a program, drags over its window and prints the CPU milliseconds the drag cost it.
drag_cost() {
    local program=$1
    "$WINE64" "$program" >/dev/null 2>&1 &
    running=$!
    local window
    window=$(wine_session_window "$title") || { echo "no window from $program" >&2; exit 1; }
    sleep 1.5  # shown and painted; without a window manager the X window is the client area
    local X Y WIDTH HEIGHT SCREEN WINDOW
    eval "$(xdotool getwindowgeometry --shell "$window")"
    local script
    script=$(drag_script $((X + 250)) $((Y + 160)))
    local before after
    before=$(cpu_ticks "$running")
    # shellcheck disable=SC2086
    xdotool $script
    sleep 0.5  # the queue drains
    after=$(cpu_ticks "$running")
    kill "$running"
    wait "$running" 2>/dev/null || true
    running=""
    while xdotool search --name "$title" >/dev/null 2>&1; do sleep 0.1; done
    echo $(((after - before) * 1000 / ticks))
}

panel_total=0
controls_total=0
for round in $(seq 1 "$rounds"); do
    panel=$(drag_cost "$build/panel/windows/LEDLumivar.exe")
    controls=$(drag_cost "$build/bench/drag/drag_controls_window.exe")
    panel_total=$((panel_total + panel))
    controls_total=$((controls_total + controls))
    printf 'round %d: %d moves, panel %d ms CPU, controls-only window %d ms CPU\n' \
        "$round" "$moves" "$panel" "$controls"
done
awk -v p="$panel_total" -v c="$controls_total" -v r="$rounds" -v n="$moves" 'BEGIN {
    printf "drag of %d moves, mean of %d rounds: panel %.0f ms, controls-only window %.0f ms: %.1fx\n",
        n, r, p / r, c / r, (c > 0 ? p / c : 0)
}'
