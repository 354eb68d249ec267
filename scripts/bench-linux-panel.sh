#!/usr/bin/env bash
# The Linux panel's costs against a Qt program with the same controls and nothing else
# (bench/linux_panel/bare_controls_window), both on the offscreen platform over the tests' fake
# machine, in turns within one run so that the machine's load falls on both alike:
#   start-up    from the start of the process to its first painted window: wall time, CPU time,
#               and the instructions executed (callgrind, the steadiest on a busy machine);
#   memory      resident memory (VmRSS) at that moment;
#   drag        CPU time for a drag over the hue image (a press, MOVES moves 10 ms apart, a
#               release) against the yardstick's view that repaints on every move.
# A probe preloaded into both (bench/linux_panel/paint_probe.cpp) reports the paint and drives
# the drag. Prints each side's median over the runs and the ratio of the medians against its aim.
# Usage: scripts/bench-linux-panel.sh [BUILD_DIR (default build/bench-linux)] [runs (default 9)]
#        [moves (default 300)] [callgrind runs (default 3; 0: none)]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath -m "${1:-$root/build/bench-linux}")
runs=${2:-9}
moves=${3:-300}
callgrind_runs=${4:-3}
source "$root/scripts/builds.sh"
source "$root/scripts/fake-linux-machine.sh"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" --target lumivar-panel bare_controls_window lumivar_bench_probe \
    lumivar_fake_i2c >/dev/null
panel="$build/panel/linux/lumivar-panel"
yardstick="$build/bench/linux_panel/bare_controls_window"
probe="$build/bench/linux_panel/liblumivar_bench_probe.so"
fake_i2c=$(find "$build/tests" -name liblumivar_fake_i2c.so | head -n 1)

work="$build/bench/linux_panel/work"
machine="$work/machine"
fake_linux_machine "$machine"
export LUMIVAR_ROOT="$machine" XDG_CONFIG_HOME="$machine/config" XDG_STATE_HOME="$machine/state"
export XDG_RUNTIME_DIR="$machine/run" QT_QPA_PLATFORM=offscreen
report="$work/report.txt"
field() { awk -v key="$1" '$1 == key { print $2 }' "$report"; }
# A message box painted instead of the main window: the program did not start.
started_window() { # PROGRAM
    if [ "$(field window)" != QMainWindow ] && [ "$(field window)" != PanelWindow ]; then
        echo "bench-linux-panel: $1 did not start (its first window: $(field window))" >&2
        exit 1
    fi
}

# One start of PROGRAM with the probe: appends "startup_ms rss_kb drag_ms startup_cpu_ms" to
# FILE.
measure() { # FILE PROGRAM
    rm -f "$report" "$machine/run/lumivar/panel.socket"
    local started=$EPOCHREALTIME
    LD_PRELOAD="$fake_i2c $probe" LUMIVAR_BENCH_REPORT="$report" LUMIVAR_BENCH_MOVES="$moves" \
        "$2" 2>/dev/null
    started_window "$2"
    local painted
    painted=$(field painted_us)
    awk -v p="$painted" -v s="${started/./}" -v rss="$(field rss)" -v drag="$(field drag_cpu_us)" \
        -v cpu="$(field cpu_us)" \
        'BEGIN { printf "%.2f %d %.1f %.1f\n", (p - s) / 1000, rss, drag / 1000, cpu / 1000 }' \
        >>"$1"
}

# Instructions from the start to the first painted window (the probe ends the program there).
instructions() { # FILE PROGRAM
    rm -f "$report" "$machine/run/lumivar/panel.socket" "$work/callgrind.out"
    LD_PRELOAD="$fake_i2c $probe" LUMIVAR_BENCH_REPORT="$report" LUMIVAR_BENCH_MOVES=0 \
        valgrind --tool=callgrind --callgrind-out-file="$work/callgrind.out" "$2" \
        >/dev/null 2>&1
    started_window "$2"
    awk '$1 == "totals:" || $1 == "summary:" { print $2; exit }' "$work/callgrind.out" >>"$1"
}

: >"$work/panel.txt"
: >"$work/yardstick.txt"
for ((run = 0; run < runs; run++)); do
    # In turns, each first every other run.
    if ((run % 2 == 0)); then
        measure "$work/panel.txt" "$panel"
        measure "$work/yardstick.txt" "$yardstick"
    else
        measure "$work/yardstick.txt" "$yardstick"
        measure "$work/panel.txt" "$panel"
    fi
done
: >"$work/panel-ir.txt"
: >"$work/yardstick-ir.txt"
for ((run = 0; run < callgrind_runs; run++)); do
    instructions "$work/panel-ir.txt" "$panel"
    instructions "$work/yardstick-ir.txt" "$yardstick"
done

echo "lumivar-panel against bare_controls_window, $runs runs each, medians (min-max)"
python3 - "$work" "$moves" <<'PY'
import statistics, sys
work, moves = sys.argv[1], sys.argv[2]
def column(name, index):
    with open(f"{work}/{name}") as rows:
        return [float(row.split()[index]) for row in rows if row.strip()]
def line(what, unit, panel, yardstick, aim):
    if not panel or not yardstick:
        return
    p, y = statistics.median(panel), statistics.median(yardstick)
    ratio = p / y
    verdict = "met" if ratio <= aim else "missed"
    print(f"{what}: {p:,.1f} {unit} ({min(panel):,.1f}-{max(panel):,.1f}) against "
          f"{y:,.1f} ({min(yardstick):,.1f}-{max(yardstick):,.1f}): {ratio:.2f}x, aim {aim}x, {verdict}")
for what, unit, index, aim in (("start-up to the first painted window (wall)", "ms", 0, 1.1),
                               ("start-up to the first painted window (CPU time)", "ms", 3, 1.1),
                               ("memory after start-up (VmRSS)", "kB", 1, 1.1),
                               (f"drag over the hue image, {moves} moves (CPU time)", "ms", 2, 1.2)):
    line(what, unit, column("panel.txt", index), column("yardstick.txt", index), aim)
line("start-up to the first painted window (instructions, callgrind)", "Ir",
     column("panel-ir.txt", 0), column("yardstick-ir.txt", 0), 1.1)
PY
