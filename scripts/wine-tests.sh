#!/usr/bin/env bash
# Runs the Windows tests of a 64-bit cross build under wine64, in Wine sessions side by side:
# each session a Wine prefix of the build's own with the simulated driver installed as the
# system's driver module, and a private Xvfb display. CTest hands each test a session of its own
# (the "wine" resource), where tests/support/wine/wine-run.sh runs it from a folder of its own:
# no two tests at once share a prefix, a display or a work folder.
# The tests mostly wait for the programs they drive (three sessions kept a fifth of a processor
# busy here), so more sessions than processors pay: LUMIVAR_WINE_SESSIONS sets how many
# (default 3).
# Usage: scripts/wine-tests.sh BUILD_DIR [ctest arguments...]
set -euo pipefail
build=$(cd "$1" && pwd)
shift
here=$(cd "$(dirname "$0")" && pwd)
sessions=${LUMIVAR_WINE_SESSIONS:-3}
source "$here/wine-session.sh"
trap wine_session_stop EXIT

prefixes=("$build/wineprefix")
for ((i = 1; i < sessions; i++)); do prefixes+=("$build/wineprefix-$i"); done
# A new prefix takes Wine about 10 s to make: all at once.
making=()
for prefix in "${prefixes[@]}"; do
    (wine_prefix_ready "$build" "$prefix") &
    making+=($!)
done
for pid in "${making[@]}"; do wait "$pid"; done

slots=()
for ((i = 0; i < sessions; i++)); do
    wine_session_start "$build" "${prefixes[$i]}"
    export "LUMIVAR_WINE_PREFIX_$i=$WINEPREFIX" "LUMIVAR_WINE_DISPLAY_$i=$DISPLAY"
    slots+=("{\"id\": \"s$i\", \"slots\": 1}")
done
spec="$build/wine-sessions.json"
(
    IFS=,
    echo "{\"version\": {\"major\": 1, \"minor\": 0}, \"local\": [{\"wine\": [${slots[*]}]}]}"
) >"$spec"
ctest --test-dir "$build" --output-on-failure -L wine -j "$sessions" --resource-spec-file "$spec" "$@"
