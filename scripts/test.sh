#!/usr/bin/env bash
# Sets up, builds, checks the tree, starts throwaway PostgreSQL and MariaDB
# servers on loopback, runs every test, checks the installed copy, runs the
# benchmark once at a small size, runs every test again under the sanitizers,
# runs each fuzz target for a minute, and stops the servers whatever happened.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
export LANG=C.UTF-8 LC_ALL=C.UTF-8

scripts/setup.sh servers lint gui bench fuzz
scripts/build.sh
scripts/lint.sh build

state=$(mktemp -d /tmp/pelmar-servers.XXXXXX)
trap '"$root/scripts/servers.sh" stop "$state" || true; rm -rf "$state"' EXIT
"$root/scripts/servers.sh" start "$state"
# shellcheck disable=SC1091
source "$state/env"

(cd build && ctest --output-on-failure -j"$(nproc)" --timeout 600)
scripts/check-install.sh build
bench/run --quick --build build >/dev/null
scripts/sanitize.sh build-sanitize
scripts/fuzz.sh 60 build-fuzz
echo "test: all passed"
