#!/usr/bin/env bash
# Runs one Windows test program under wine64, in the prefix and on the display that
# scripts/wine-tests.sh prepared. Without them the test is skipped (77), except in CI, where a
# test that cannot start Wine or a display fails.
# Usage: wine-run.sh TEST_NAME PROGRAM [ARGUMENTS...]
# The test runs a copy of PROGRAM in a folder of its own (runs/TEST_NAME beside it): the
# end-to-end harness writes its files in the "work" folder beside the program it runs, and tests
# of one program or one folder run at the same time in other Wine sessions.
set -u
name=$1
exe=$2
shift 2
unavailable() {
    echo "wine-run: $1" >&2
    if [ "${CI:-}" = true ]; then exit 1; fi
    exit 77
}
wine=/usr/lib/wine/wine64
[ -x "$wine" ] || unavailable "wine64 is not installed"
# The session CTest gave this test ("id:s1,slots:1" names session 1): its prefix and display.
if [ -n "${CTEST_RESOURCE_GROUP_0_WINE:-}" ]; then
    session=${CTEST_RESOURCE_GROUP_0_WINE#id:s}
    session=${session%%,*}
    prefix=LUMIVAR_WINE_PREFIX_$session
    display=LUMIVAR_WINE_DISPLAY_$session
    export WINEPREFIX=${!prefix:-} DISPLAY=${!display:-}
fi
[ -n "${WINEPREFIX:-}" ] && [ -d "${WINEPREFIX}/drive_c" ] || unavailable "no Wine prefix; run scripts/wine-tests.sh"
[ -n "${DISPLAY:-}" ] || unavailable "no display; run scripts/wine-tests.sh"
own="$(dirname "$exe")/runs/$name"
mkdir -p "$own" && cp -pu "$exe" "$own/" || exit 1
# A test that sets its programs' clock ahead (libfaketime's offset file) starts on the real one.
if [ -n "${FAKETIME_TIMESTAMP_FILE:-}" ]; then rm -f "$FAKETIME_TIMESTAMP_FILE"; fi
"$wine" "$own/$(basename "$exe")" "$@"
status=$?
# A program that dies before writing anything leaves only this line to go by.
if [ "$status" -ne 0 ]; then echo "wine-run: $(basename "$exe") exited with $status" >&2; fi
exit "$status"
