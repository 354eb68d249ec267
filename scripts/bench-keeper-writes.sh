#!/usr/bin/env bash
# How often the keeper writes a board that follows its temperature, for recorded sensor traces:
# on Linux fed through the NVML stand-in on the tests' fake machine (a fake sysfs and /proc, the
# preloaded I2C adapters, a private dbus-daemon as the system bus), on Windows through the
# simulated driver's temperatures file, the keeper under wine64. Each trace runs in real time, all
# of them side by side, each with a keeper of its own (on Windows in a Wine session of its own);
# the first GPU follows 0000ff:ff0000 over 40-80 °C. A trace is a list of "SECONDS READING"
# steps, the reading a temperature or "-" for one that fails.
# Prints, for each trace, the writes after the start-up send (a send is one log line that says
# "sent"; the I2C writes the adapters or the driver saw, the start-up send's included, are beside
# it) and what they come to per hour, against the bound:
#   steady   60 °C ±1, a reading every 2 s, 10 min
#   jitter   60 °C ±2 at random, every 2 s, 10 min
#   failing  60 °C and a failed reading in turn, every 2 s, 10 min
#   game     40 °C for 30 s, a climb of 30 °C over 5 minutes, 2 minutes at 70 °C ±2, a fall to 40
#            °C over 1 minute, 30 s at 40 °C
# (at most 2 writes an hour for steady, jitter and failing; at most 120 for any), and the cases of
# 45 s each (60 and 62 °C in turn every 3 s; 64-66 °C at random every 3 s; 60 °C and a failed
# reading in turn every 3 s: at most one write each, the start-up send counted) and a climb from
# 40 to 80 °C at 1 °C a second then 35 s at 80 °C (at most 3 writes, ending on ff0000).
# Fails when a bound is not met.
# Usage: scripts/bench-keeper-writes.sh [linux|windows (default linux)]
#            [BUILD_DIR (default build/native, or build/win64)] [minutes (default 10)]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
platform=${1:-linux}
minutes=${3:-10}
work=$(mktemp -d)
daemons=()
finish() {
    for pid in "${daemons[@]}"; do kill "$pid" 2>/dev/null || true; done
    rm -rf "$work"
}
trap finish EXIT
case $platform in
    linux)
        build=$(realpath -m "${2:-$root/build/native}")
        if [ ! -f "$build/CMakeCache.txt" ]; then
            cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug >/dev/null
        fi
        cmake --build "$build" --target lumivar lumivar_fake_i2c lumivar_fake_nvml >/dev/null
        program="$build/cli/linux/lumivar"
        fake_i2c="$build/tests/cli/linux/liblumivar_fake_i2c.so"
        fake_nvml="$build/tests/cli/linux/fake-nvml"
        address=$(dbus-daemon --session --fork --print-address=1 --print-pid=1 >"$work/bus" &&
            head -n 1 "$work/bus")
        daemons+=("$(sed -n 2p "$work/bus")")
        export DBUS_SYSTEM_BUS_ADDRESS=$address
        ;;
    windows)
        build=$(realpath -m "${2:-$root/build/win64}")
        source "$root/scripts/builds.sh"
        configure_windows "$build" 64 ON
        cmake --build "$build" --target lumivar lumivarw simdriver_dll >/dev/null
        source "$root/scripts/wine-session.sh"
        ;;
    *) echo "the platform is linux or windows, not '$platform'" >&2; exit 2 ;;
esac

# The traces, each printed as its steps.
every() {  # every SECONDS COUNT READING... : the readings in turn
    local seconds=$1 count=$2 i
    shift 2
    local readings=("$@")
    for ((i = 0; i < count; i++)); do echo "$seconds ${readings[i % ${#readings[@]}]}"; done
}
around() {  # around SECONDS COUNT CENTRE SPREAD: CENTRE first, then CENTRE ± SPREAD at random
    local seconds=$1 count=$2 centre=$3 spread=$4 i
    echo "$seconds $centre"
    for ((i = 1; i < count; i++)); do
        echo "$seconds $((centre - spread + RANDOM % (2 * spread + 1)))"
    done
}
ramp() {  # ramp SECONDS FROM TO: one degree a step
    local seconds=$1 from=$2 to=$3 step t
    step=$((from < to ? 1 : -1))
    for ((t = from; t != to; t += step)); do echo "$seconds $t"; done
    echo "$seconds $to"
}
readings=$((minutes * 30))
trace_steady() { around 2 "$readings" 60 1; }
trace_jitter() { around 2 "$readings" 60 2; }
trace_failing() { every 2 "$readings" 60 -; }
trace_game() {
    every 2 15 40
    ramp 10 40 70
    around 2 60 70 2
    ramp 2 70 40
    every 2 15 40
}
trace_alternating() { every 3 15 60 62; }
trace_random() { around 3 15 65 1; }
trace_failing3() { every 3 15 60 -; }
trace_climb() {
    ramp 1 40 80
    every 1 35 80
}

# Feeds the steps given to the temperatures file FILE, each reading after PREFIX: prints the
# seconds it took.
feed() {
    local file=$1 prefix=$2 start=$SECONDS step
    shift 2
    for step in "$@"; do
        echo "$prefix ${step#* }" >"$file.new"
        mv "$file.new" "$file"
        sleep "${step%% *}"
    done
    echo $((SECONDS - start))
}
# Waits for the keeper's start-up send in LOG.
started() {
    for _ in $(seq 1 300); do
        grep -q ' start: ' "$1" 2>/dev/null && return 0
        sleep 0.2
    done
    echo "no start-up send logged" >&2
    return 1
}
# What a trace came to, from the keeper's LOG: "SENDS I2C_WRITES SECONDS LAST_COLOUR".
result() {
    local log=$1 writes=$2 elapsed=$3 sends colour
    sends=$(grep -c ' temperature: GPU 0 ([^)]*): sent ' "$log" || true)
    # The colour last sent: GPU 0's comes first in a line.
    colour=$(grep ': GPU 0 ' "$log" | sed -n 's/.*: GPU 0 [^,]*, colour \([0-9a-f]\{6\}\).*/\1/p' |
        tail -n 1)
    echo "$sends $writes $elapsed $colour"
}

# One trace on a fake machine of its own.
run_trace_linux() {
    local name=$1 machine="$work/$1"
    local device="$machine/sys/bus/pci/devices/0000:01:00.0"
    mkdir -p "$device/i2c-3" "$machine/proc/driver/nvidia/gpus/0000:01:00.0" "$machine/dev"
    echo 0x2206 >"$device/device"
    echo 0x030000 >"$device/class"
    echo 0x10de >"$device/vendor"
    printf 'Model: \t NVIDIA GeForce RTX 3080\nIRQ: 4\n' \
        >"$machine/proc/driver/nvidia/gpus/0000:01:00.0/information"
    echo "NVIDIA i2c adapter 1 at 1:00.0" >"$device/i2c-3/name"
    echo answers >"$machine/dev/i2c-3"
    local steps=()
    mapfile -t steps < <("trace_$name")
    export LUMIVAR_ROOT=$machine XDG_CONFIG_HOME=$machine/config XDG_RUNTIME_DIR=$machine \
        XDG_STATE_HOME=$machine/state FAKE_NVML_TEMPERATURES=$machine/temperatures \
        FAKE_NVML_LOG=$machine/nvml.log LD_LIBRARY_PATH=$fake_nvml
    echo "0000:01:00.0 ${steps[0]#* }" >"$machine/temperatures"
    LD_PRELOAD=$fake_i2c "$program" apply --save --gpu 0 --color-by-temperature 0000ff:ff0000 \
        >/dev/null
    : >"$machine/i2c.log"
    local log="$machine/state/lumivar/keeper.log"
    LD_PRELOAD=$fake_i2c "$program" keep 2>/dev/null &
    local keeper=$! elapsed
    started "$log"
    elapsed=$(feed "$machine/temperatures" 0000:01:00.0 "${steps[@]}")
    sleep 1  # a send under way is logged
    kill -TERM "$keeper"
    wait "$keeper" || true
    result "$log" "$(grep -c ' write ' "$machine/i2c.log" || true)" "$elapsed"
}

# One trace in a Wine session of its own, on the simulated driver's default boards.
run_trace_windows() {
    local name=$1 machine="$work/$1"
    mkdir -p "$machine"
    trap wine_session_stop EXIT
    wine_session_start "$build" "$build/wineprefix-writes-$name" >/dev/null
    local steps=()
    mapfile -t steps < <("trace_$name")
    export LUMIVAR_SIM_SCENARIO="$machine/scenario.txt"
    printf 'default-gpus\nlog %s\ntemperatures %s\n' "$machine/driver.log" \
        "$machine/temperatures" >"$LUMIVAR_SIM_SCENARIO"
    echo "1 ${steps[0]#* }" >"$machine/temperatures"
    local lumivar="$build/cli/windows/lumivar.exe"
    local log="$WINEPREFIX/drive_c/users/$(id -un)/AppData/Local/VOXA/LED Lumivar/keeper.log"
    rm -f "$log"
    "$WINE64" "$lumivar" lights-out never >/dev/null
    "$WINE64" "$lumivar" apply --gpu 0 --color-by-temperature 0000ff:ff0000 --save >/dev/null
    : >"$machine/driver.log"
    "$WINE64" "$build/cli/windows/lumivarw.exe" keep >/dev/null 2>&1 &
    local keeper=$! elapsed
    started "$log"
    elapsed=$(feed "$machine/temperatures" 1 "${steps[@]}")
    sleep 1
    "$WINE64" "$lumivar" logon disable >/dev/null  # ends the running keeper
    wait "$keeper" || true
    result "$log" "$(grep -c '"call":"NvAPI_I2CWriteEx"' "$machine/driver.log" || true)" \
        "$elapsed"
    wine_session_stop
}

names=(steady jitter failing game alternating random failing3 climb)
for name in "${names[@]}"; do "run_trace_$platform" "$name" >"$work/$name.result" & done
wait

failed=0
printf '%-40s %6s %6s %6s %10s %s\n' trace sends i2c s "per hour" "bound"
report() {  # report NAME TEXT BOUND_PER_HOUR|"" MOST_WRITES|"" COLOUR|""
    local sends writes elapsed colour per_hour verdict=ok
    read -r sends writes elapsed colour <"$work/$1.result"
    per_hour=$(awk -v s="$sends" -v e="$elapsed" 'BEGIN { printf "%.1f", s * 3600 / e }')
    if [ -n "$3" ] && ! awk -v p="$per_hour" -v b="$3" 'BEGIN { exit !(p <= b) }'; then
        verdict=FAILED
    fi
    # The Done-when cases count the start-up send too.
    if [ -n "$4" ] && [ $((sends + 1)) -gt "$4" ]; then verdict=FAILED; fi
    if [ -n "$5" ] && [ "$colour" != "$5" ]; then verdict="FAILED (ends on $colour)"; fi
    [ "$verdict" = ok ] || failed=1
    printf '%-40s %6s %6s %6s %10s %s\n' "$2" "$sends" "$writes" "$elapsed" "$per_hour" \
        "${3:+<= $3/h}${4:+<= $4 with the start}${5:+, ends on $5}: $verdict"
}
report steady "steady 60 °C ±1" 2 "" ""
report jitter "jitter 60 °C ±2" 2 "" ""
report failing "failing every other reading" 2 "" ""
report game "game: climb, plateau, fall" 120 "" ""
report alternating "45 s of 60/62 °C every 3 s" "" 1 ""
report random "45 s of 64-66 °C at random" "" 1 ""
report failing3 "45 s failing every other 3 s" "" 1 ""
report climb "40->80 °C at 1 °C/s, 35 s at 80 °C" "" 3 ff0000
exit "$failed"
