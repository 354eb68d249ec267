#!/usr/bin/env bash
# Runs one Windows test program under wine64, in the prefix and on the display that
# scripts/wine-tests.sh prepared. Without them the test is skipped (77), except in CI, where a
# test that cannot start Wine or a display fails.
set -u
exe=$1
shift
unavailable() {
    echo "wine-run: $1" >&2
    if [ "${CI:-}" = true ]; then exit 1; fi
    exit 77
}
wine=/usr/lib/wine/wine64
[ -x "$wine" ] || unavailable "wine64 is not installed"
[ -n "${WINEPREFIX:-}" ] && [ -d "${WINEPREFIX}/drive_c" ] || unavailable "no Wine prefix; run scripts/wine-tests.sh"
[ -n "${DISPLAY:-}" ] || unavailable "no display; run scripts/wine-tests.sh"
"$wine" "$exe" "$@"
status=$?
# A program that dies before writing anything leaves only this line to go by.
if [ "$status" -ne 0 ]; then echo "wine-run: $(basename "$exe") exited with $status" >&2; fi
exit "$status"
