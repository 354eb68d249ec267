#!/usr/bin/env bash
# How long the keeper (lumivarw.exe keep) takes to end under wine64 after each message that ends
# it (WM_CLOSE, the session's end, the tray menu's exit), against a program with one hidden
# window and an empty message loop ended by WM_CLOSE in the same run. Each try is a fresh start,
# measured once the keeper's start-up send is logged; bench/keeper/exit_timer.exe posts the
# message and times it to the end of the process.
# Fails when the keeper's median for any message is above 1000 ms.
# Usage: scripts/bench-keeper-exit.sh [BUILD_DIR (default build/win64)] [tries (default 5)]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath "${1:-$root/build/win64}")
tries=${2:-5}
source "$root/scripts/builds.sh"
configure_windows "$build" 64 ON
cmake --build "$build" --target lumivar lumivarw hidden_window exit_timer simdriver_dll >/dev/null
source "$root/scripts/wine-session.sh"
wine_session_start "$build"
work="$build/bench/keeper/exit-work"
mkdir -p "$work"
trap wine_session_stop EXIT

lumivar() { "$WINE64" "$build/cli/windows/lumivar.exe" "$@" >/dev/null; }
log="$WINEPREFIX/drive_c/users/$(id -un)/AppData/Local/VOXA/LED Lumivar/keeper.log"
lines() { if [ -f "$log" ]; then wc -l <"$log"; else echo 0; fi; }
export LUMIVAR_SIM_SCENARIO="$work/scenario.txt"
printf 'default-gpus\n' >"$LUMIVAR_SIM_SCENARIO"

# Milliseconds from the message to the end of the process whose window has this class.
time_exit() { "$WINE64" "$build/bench/keeper/exit_timer.exe" "$1" "$2" | tr -d '\r'; }
keeper_exit() {
    local before
    before=$(lines)
    "$WINE64" "$build/cli/windows/lumivarw.exe" keep >/dev/null 2>&1 &
    for _ in $(seq 1 300); do
        [ "$(lines)" -gt "$before" ] && break
        sleep 0.2
    done
    [ "$(lines)" -gt "$before" ] || { echo "no start-up send logged" >&2; exit 1; }
    sleep 1
    time_exit "VOXA LED Lumivar Keeper" "$1"
    wait
}
yardstick_exit() {
    "$WINE64" "$build/bench/keeper/hidden_window.exe" >/dev/null 2>&1 &
    time_exit HIDDENWINDOW close
    wait
}
median() { tr ' ' '\n' | sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

lumivar lights-out never
lumivar apply --gpu all --mode wave --save
failed=0
printf '%-24s %s\n' "ms to the end" "tries, then the median"
results() {
    local name=$1 times=() i
    shift
    for ((i = 0; i < tries; i++)); do times+=("$("$@")"); done
    local middle
    middle=$(echo "${times[*]}" | median)
    printf '%-24s %s   median %s\n' "$name" "${times[*]}" "$middle"
    last_median=$middle
}
results "hidden window, close" yardstick_exit
for message in close endsession trayexit; do
    results "keeper, $message" keeper_exit "$message"
    [ "$last_median" -le 1000 ] || failed=1
done
exit "$failed"
