#!/usr/bin/env bash
# The tree's checks beyond the compiler: the layering of the includes, the
# layout (clang-format) and clang-tidy's findings (.clang-tidy), using the
# compile commands of a configured build folder.
#   scripts/lint.sh [BUILD_DIR] [--changed [BASE]]      BUILD_DIR: default build/
# clang-tidy reads the code, not the tests (*_test.cpp, testing/, fuzz/,
# bench/: the compiler's warnings cover them); what the build generates is
# never tracked, so never read. With --changed it reads only the sources that
# differ from BASE (default main), and the source of each header that does:
# a quick look before a commit; CI reads them all (scripts/test.sh --full).
set -euo pipefail
cd "$(dirname "$0")/.."
build=build
[[ ${1:-} && $1 != --changed ]] && { build=$1; shift; }
changed=""
if [[ ${1:-} == --changed ]]; then
    changed=$(git merge-base "${2:-main}" HEAD)
fi

scripts/check-layers.py

mapfile -t sources < <(git ls-files '*.cpp' '*.h' '*.c')
clang-format --dry-run --Werror "${sources[@]}"
echo "lint: clang-format finds the layout kept"

not_tests='(_test\.cpp$|^testing/|^fuzz/|^bench/)'
if [[ -n $changed ]]; then
    # A changed header brings in the source beside it.
    mapfile -t units < <(git diff --name-only --diff-filter=d "$changed" -- '*.cpp' '*.h' |
        sed 's/\.h$/.cpp/' | sort -u | while read -r f; do [[ -f $f ]] && echo "$f"; done |
        grep -Ev "$not_tests" || true)
else
    mapfile -t units < <(git ls-files '*.cpp' | grep -Ev "$not_tests")
fi
if ((${#units[@]})); then
    printf '%s\n' "${units[@]}" | xargs -P "$(nproc)" -n 4 clang-tidy -p "$build" --quiet 2>/dev/null
fi
echo "lint: clang-tidy finds nothing in ${#units[@]} sources"
