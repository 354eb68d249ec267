#!/usr/bin/env bash
# Test code against all C++ code, in non-blank, non-comment lines of the tracked .cpp and .h
# files; test code is everything under tests/ and any *_test file. Fails above 33 %.
set -euo pipefail
cd "$(dirname "$0")/.."
lines() { xargs -r grep -hv -e '^\s*$' -e '^\s*//' | wc -l; }
all=$(git ls-files '*.cpp' '*.h' | lines)
tests=$(git ls-files '*.cpp' '*.h' | grep -E '^tests/|_test\.(cpp|h)$' | lines)
share=$(awk -v t="$tests" -v a="$all" 'BEGIN { printf "%.1f", 100 * t / a }')
echo "test code: $tests of $all C++ lines ($share %)"
awk -v t="$tests" -v a="$all" 'BEGIN { exit !(t * 100 <= a * 33) }' || {
    echo "test-share: above 33 %" >&2
    exit 1
}
