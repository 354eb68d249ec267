#!/usr/bin/env bash
# The keeper at rest under wine64 against a program with one hidden window and an empty message
# loop, both running at once: resident memory (VmRSS, and the peak VmHWM) after the keeper's
# start-up restore, and the CPU time each spends over the idle seconds that follow. Fails when the
# keeper's memory is above 1.2 times the yardstick's or its CPU time more than 20 ms above it.
# Usage: scripts/bench-keeper.sh [BUILD_DIR (default build/win64)] [idle seconds (default 60)]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath "${1:-$root/build/win64}")
idle=${2:-60}
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw64.cmake" >/dev/null
cmake --build "$build" --target lumivar lumivarw hidden_window simdriver_dll >/dev/null
source "$root/scripts/wine-session.sh"
wine_session_start "$build"
work="$build/bench/keeper/work"
mkdir -p "$work"
started=()
finish() {
    for pid in "${started[@]}"; do kill "$pid" 2>/dev/null || true; done
    wine_session_stop
}
trap finish EXIT

# The default boards with saved settings, so that the keeper's start-up restore sends them.
export LUMIVAR_SIM_SCENARIO="$work/scenario.txt"
printf 'default-gpus\n' >"$LUMIVAR_SIM_SCENARIO"
"$WINE64" "$build/cli/lumivar.exe" apply --gpu all --mode wave --save >/dev/null
log="$WINEPREFIX/drive_c/users/$(id -un)/AppData/Local/VOXA/LED Lumivar/keeper.log"
before=$(wc -l <"$log" 2>/dev/null || echo 0)

"$WINE64" "$build/cli/lumivarw.exe" keep >/dev/null 2>&1 &
keeper=$!
started+=("$keeper")
"$WINE64" "$build/bench/keeper/hidden_window.exe" >/dev/null 2>&1 &
yardstick=$!
started+=("$yardstick")
for _ in $(seq 1 300); do
    [ "$(wc -l <"$log" 2>/dev/null || echo 0)" -gt "$before" ] && break
    sleep 0.2
done
[ "$(wc -l <"$log" 2>/dev/null || echo 0)" -gt "$before" ] || { echo "no restore logged" >&2; exit 1; }
sleep 5  # both settled

status() { awk -v key="$2:" '$1 == key { print $2 }' "/proc/$1/status"; }
cpu_ms() { awk '{ print ($14 + $15) * 1000 / '"$(getconf CLK_TCK)"' }' "/proc/$1/stat"; }
keeper_cpu=$(cpu_ms "$keeper")
yardstick_cpu=$(cpu_ms "$yardstick")
sleep "$idle"
keeper_cpu=$(($(cpu_ms "$keeper") - keeper_cpu))
yardstick_cpu=$(($(cpu_ms "$yardstick") - yardstick_cpu))

echo "$(tail -n 1 "$log")"
printf '%-10s %10s %10s %12s\n' "" "VmRSS kB" "VmHWM kB" "CPU ms/${idle}s"
for side in keeper yardstick; do
    pid=${!side}
    cpu_name="${side}_cpu"
    printf '%-10s %10s %10s %12s\n' "$side" "$(status "$pid" VmRSS)" "$(status "$pid" VmHWM)" \
        "${!cpu_name}"
done
rss_ratio=$(awk -v k="$(status "$keeper" VmRSS)" -v y="$(status "$yardstick" VmRSS)" \
    'BEGIN { printf "%.2f", k / y }')
hwm_ratio=$(awk -v k="$(status "$keeper" VmHWM)" -v y="$(status "$yardstick" VmHWM)" \
    'BEGIN { printf "%.2f", k / y }')
echo "memory: VmRSS ${rss_ratio}x, VmHWM ${hwm_ratio}x the yardstick's (at most 1.2x);" \
    "CPU time: $((keeper_cpu - yardstick_cpu)) ms more over ${idle} s (at most 20 ms)"
awk -v r="$rss_ratio" 'BEGIN { exit !(r <= 1.2) }' && [ $((keeper_cpu - yardstick_cpu)) -le 20 ]
