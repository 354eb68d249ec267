#!/usr/bin/env bash
# The keeper's costs under wine64 against a program with one hidden window and an empty message
# loop, which runs beside it throughout: resident memory (VmRSS, and the peak VmHWM) and the CPU
# time each spends over the same seconds, in three states of the keeper, each a fresh start
# measured once its start-up send is done:
#   rest       the saved lighting restored, nothing more to do;
#   rule       the same under a lights-out rule whose hours do not contain now (its boundary
#              timer armed, no temperature looked at);
#   following  one board's colour following its GPU's temperature, which this script changes every
#              5 s, a colour change and then a move within the noise in turn.
# Fails when at rest, with or without the rule, the keeper's VmRSS is above 1.2 times the
# yardstick's or its CPU time more than 20 ms above it; and when following, when the keeper spends
# more than 150 ms of CPU per minute or the driver sees more I2C writes than the keeper's log
# reports colour changes.
# Usage: scripts/bench-keeper.sh [BUILD_DIR (default build/win64)] [seconds per state (default 60)]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath "${1:-$root/build/win64}")
idle=${2:-60}
source "$root/scripts/builds.sh"
configure_windows "$build" 64 ON
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

lumivar() { "$WINE64" "$build/cli/windows/lumivar.exe" "$@" >/dev/null; }
log="$WINEPREFIX/drive_c/users/$(id -un)/AppData/Local/VOXA/LED Lumivar/keeper.log"
lines() { wc -l <"$log" 2>/dev/null || echo 0; }
status() { awk -v key="$2:" '$1 == key { print $2 }' "/proc/$1/status"; }
cpu_ms() { awk '{ print ($14 + $15) * 1000 / '"$(getconf CLK_TCK)"' }' "/proc/$1/stat"; }
now_ms() { date +%s%3N; }

# The default boards, their driver calls logged, the first GPU at the temperature in a file.
export LUMIVAR_SIM_SCENARIO="$work/scenario.txt"
calls="$work/driver.log"
temperatures="$work/temperatures.txt"
printf 'default-gpus\nlog %s\ntemperatures %s\n' "$calls" "$temperatures" >"$LUMIVAR_SIM_SCENARIO"
set_temperature() {
    printf '1 %s\n' "$1" >"$temperatures.new"
    mv "$temperatures.new" "$temperatures"
}
set_temperature 40
: >"$calls"

"$WINE64" "$build/bench/keeper/hidden_window.exe" >/dev/null 2>&1 &
yardstick=$!
started+=("$yardstick")

# A fresh keeper, once its start-up send is in the log and it has settled.
start_keeper() {
    local before
    before=$(lines)
    "$WINE64" "$build/cli/windows/lumivarw.exe" keep >/dev/null 2>&1 &
    keeper=$!
    started+=("$keeper")
    for _ in $(seq 1 300); do
        [ "$(lines)" -gt "$before" ] && break
        sleep 0.2
    done
    [ "$(lines)" -gt "$before" ] || { echo "no start-up send logged" >&2; exit 1; }
    tail -n 1 "$log" | tr -d '\r'
    sleep 5
}
stop_keeper() {
    lumivar logon disable  # ends the running keeper
    wait "$keeper" || true
}
# Runs the command given while both processes' CPU time is measured: keeper_cpu, yardstick_cpu (ms)
# and elapsed (ms).
measure() {
    local keeper_start yardstick_start start
    keeper_start=$(cpu_ms "$keeper")
    yardstick_start=$(cpu_ms "$yardstick")
    start=$(now_ms)
    "$@"
    keeper_cpu=$(($(cpu_ms "$keeper") - keeper_start))
    yardstick_cpu=$(($(cpu_ms "$yardstick") - yardstick_start))
    elapsed=$(($(now_ms) - start))
}
report() {
    printf '%-22s %10s %10s %12s\n' "$1: keeper" "$(status "$keeper" VmRSS)" \
        "$(status "$keeper" VmHWM)" "$keeper_cpu"
    printf '%-22s %10s %10s %12s\n' "$1: yardstick" "$(status "$yardstick" VmRSS)" \
        "$(status "$yardstick" VmHWM)" "$yardstick_cpu"
}
failed=0
verdicts=()
at_rest() {
    local rss hwm
    rss=$(awk -v k="$(status "$keeper" VmRSS)" -v y="$(status "$yardstick" VmRSS)" \
        'BEGIN { printf "%.2f", k / y }')
    hwm=$(awk -v k="$(status "$keeper" VmHWM)" -v y="$(status "$yardstick" VmHWM)" \
        'BEGIN { printf "%.2f", k / y }')
    verdicts+=("$1: VmRSS ${rss}x, VmHWM ${hwm}x the yardstick's (at most 1.2x); CPU time" \
        "$((keeper_cpu - yardstick_cpu)) ms more over ${idle} s (at most 20 ms)")
    awk -v r="$rss" 'BEGIN { exit !(r <= 1.2) }' && [ $((keeper_cpu - yardstick_cpu)) -le 20 ] ||
        failed=1
}
printf '%-22s %10s %10s %12s\n' "" "VmRSS kB" "VmHWM kB" "CPU ms/${idle}s"

# At rest: every board's saved lighting restored.
lumivar lights-out never
lumivar apply --gpu all --mode wave --save
start_keeper
measure sleep "$idle"
report rest
at_rest rest
stop_keeper

# At rest under a lights-out rule whose hours begin two hours from now.
hour=$((10#$(date +%H)))
lumivar lights-out away "$(printf '%02d:00-%02d:00' $(((hour + 2) % 24)) $(((hour + 3) % 24)))"
start_keeper
measure sleep "$idle"
report rule
at_rest rule
stop_keeper

# Following the first GPU's temperature: 5 s at each, a colour change then a move within the
# noise (which sends nothing) in turn.
lumivar lights-out never
lumivar apply --gpu 0 --mode breathing --color-by-temperature 0000ff:ff0000 --save
start_keeper
follow() {
    local steps=(50 51 60 59 70 71 60 61 50 49 40 41) end=$(($(now_ms) + idle * 1000)) i=0
    while [ "$(now_ms)" -lt "$end" ]; do
        set_temperature "${steps[i % ${#steps[@]}]}"
        i=$((i + 1))
        sleep 5
    done
}
logged=$(lines)
written=$(grep -c '"call":"NvAPI_I2CWriteEx"' "$calls")
colour=$(tail -n 1 "$log" | grep -o 'colour [0-9a-f]*' | head -n 1)
measure follow
report following
sleep 5  # a send under way finishes and is logged
# The first board's colour in each line, GPU 0 coming first.
changes=$(tail -n +"$((logged + 1))" "$log" | awk -v last="$colour" '
    match($0, /colour [0-9a-f]+/) { c = substr($0, RSTART, RLENGTH); n += c != last; last = c }
    END { print n + 0 }')
writes=$(($(grep -c '"call":"NvAPI_I2CWriteEx"' "$calls") - written))
per_minute=$((keeper_cpu * 60000 / elapsed))
verdicts+=("following: ${per_minute} ms of CPU per minute (at most 150 ms); ${writes} I2C" \
    "writes for ${changes} colour changes (at most one each)")
[ "$per_minute" -le 150 ] && [ "$writes" -le "$changes" ] || failed=1
stop_keeper

printf '%s %s\n' "${verdicts[@]}"  # two parts each
exit "$failed"
