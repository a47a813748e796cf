#!/usr/bin/env bash
# Sets up, builds, starts throwaway PostgreSQL and MariaDB servers on loopback,
# runs every test, and stops the servers whatever happened.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
export LANG=C.UTF-8 LC_ALL=C.UTF-8

scripts/setup.sh servers
scripts/build.sh

state=$(mktemp -d /tmp/pelmar-servers.XXXXXX)
trap '"$root/scripts/servers.sh" stop "$state" || true; rm -rf "$state"' EXIT
"$root/scripts/servers.sh" start "$state"
# shellcheck disable=SC1091
source "$state/env"

cd build
ctest --output-on-failure -j"$(nproc)" --timeout 600
