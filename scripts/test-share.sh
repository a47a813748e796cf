#!/usr/bin/env bash
# Tests' share of the code, counted in non-blank lines of the C and C++ files
# git tracks (what the build generates is never tracked, and no third-party
# source is kept here).
#   tests: the *_test.* files, the helpers they share (testing/,
#          gui/gui_test_support.*) and the fuzz targets (fuzz/)
#   code:  every other C and C++ file: the layers, the C interface's header,
#          bench/ and examples/
# It prints tests / code; the range we keep is 25-33%.
#   scripts/test-share.sh [-v]     -v: the lines of each top folder too
set -euo pipefail
cd "$(dirname "$0")/.."

git ls-files -z '*.cpp' '*.h' '*.c' | xargs -0 awk -v verbose="${1:-}" '
    FNR == 1 {
        dir = FILENAME; sub(/\/.*/, "", dir)
        test = FILENAME ~ /_test\.(cpp|c|h)$|^testing\/|^fuzz\/|^gui\/gui_test_support\./
        dirs[dir] = 1
    }
    /[^[:space:]]/ { if (test) { tests++; tests_in[dir]++ } else { code++; code_in[dir]++ } }
    END {
        if (verbose == "-v")
            for (dir in dirs) printf "  %-12s code %6d  tests %6d\n", dir, code_in[dir], tests_in[dir] | "sort"
        close("sort")
        printf "test-share: code %d lines, tests %d lines, tests/code %d%%\n", code, tests, 100 * tests / code
    }'
