#!/usr/bin/env bash
# The tree's checks beyond the compiler: the layering of the includes, the
# layout (clang-format) and clang-tidy's findings (.clang-tidy), using the
# compile commands of a configured build folder (default build/).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}

scripts/check-layers.py

mapfile -t sources < <(git ls-files '*.cpp' '*.h' '*.c')
clang-format --dry-run --Werror "${sources[@]}"
echo "lint: clang-format finds the layout kept"

mapfile -t units < <(git ls-files '*.cpp' | grep -v '^bench/')
printf '%s\n' "${units[@]}" | xargs -P "$(nproc)" -n 4 clang-tidy -p "$build" --quiet 2>/dev/null
echo "lint: clang-tidy finds nothing"
