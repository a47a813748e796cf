#!/usr/bin/env bash
# Configures and builds everything into build/ (warnings are errors, the
# benchmark's programs included).
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPELMAR_WERROR=ON -DPELMAR_BUILD_BENCH=ON >/dev/null
cmake --build build -j"$(nproc)"
