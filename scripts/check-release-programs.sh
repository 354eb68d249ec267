#!/usr/bin/env bash
# The shipped programs carry no test instrumentation: no drawing-check messages, no test symbols,
# and every build compiles each of them with the same definitions.
# Usage: scripts/check-release-programs.sh BUILD_DIR...   (each a Windows build)
set -euo pipefail
nm=$(ls /usr/bin/*-w64-mingw32-nm | head -n 1)
for program in panel/windows/LEDLumivar.exe cli/windows/lumivar.exe cli/windows/lumivarw.exe; do
    reference=""
    for build in "$@"; do
        exe="$build/$program"
        [ -f "$exe" ] || { echo "release: $exe is missing" >&2; exit 1; }
        if strings -a "$exe" | grep -n 'lumivar:.*failed\|not restored\|not deselected'; then
            echo "release: $exe holds the drawing checks' messages" >&2
            exit 1
        fi
        if "$nm" "$exe" 2>/dev/null | grep -E 'GdiReleaseFailures|PaintSessionCount|ForTest'; then
            echo "release: $exe holds test symbols" >&2
            exit 1
        fi
        # The -D definitions of every compilation that goes into the program.
        definitions=$(ninja -C "$build" -t commands "$program" |
            grep -oE '(^| )-D[^ ]+' | sed 's/^ //' | sort -u | tr '\n' ' ')
        if [ -z "$reference" ]; then
            reference=$definitions
        elif [ "$definitions" != "$reference" ]; then
            echo "release: $exe is built with other definitions:" >&2
            echo "  $definitions" >&2
            echo "  $reference" >&2
            exit 1
        fi
        echo "release: $exe: no test instrumentation; definitions: $definitions"
    done
done
