#!/usr/bin/env bash
# Sets up, builds, starts throwaway PostgreSQL and MariaDB servers on
# loopback, runs every test, and stops the servers whatever happened.
#   scripts/test.sh          the tests: about 11 min on a fresh 2-core machine
#   scripts/test.sh --full   what CI runs: the tests, then clang-tidy over the
#                            whole tree, the installed copy's check, the
#                            benchmark once at a small size, the Debian
#                            packages installed and used, every test again
#                            under the sanitizers, each fuzz target for a
#                            minute (about 25 min more)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
export LANG=C.UTF-8 LC_ALL=C.UTF-8

full=0
case ${1:-} in
    "") ;;
    --full) full=1 ;;
    *) echo "usage: scripts/test.sh [--full]" >&2; exit 2 ;;
esac

steps=4
((full)) && steps=10
step=0 started=$SECONDS
progress() { # what, and how long it takes on a fresh 2-core machine
    step=$((step + 1))
    echo "test: [$step/$steps] $1 ($(((SECONDS - started) / 60)) min so far)"
}

if ((full)); then
    progress "installing what is missing (about 4 min when nothing is)"
    scripts/setup.sh servers gui lint bench fuzz package
else
    progress "installing what is missing (about 3 min when nothing is)"
    scripts/setup.sh servers gui
fi

progress "building into build/ (about 7 min on 2 cores, less when built before)"
scripts/build.sh

if ((full)); then
    progress "checking layers, layout and clang-tidy's findings (about 5 min)"
    scripts/lint.sh build
fi

progress "starting PostgreSQL and MariaDB on loopback (a few seconds)"
state=$(mktemp -d /tmp/pelmar-servers.XXXXXX)
trap '"$root/scripts/servers.sh" stop "$state" >/dev/null || true; rm -rf "$state"' EXIT
"$root/scripts/servers.sh" start "$state"
# shellcheck disable=SC1091
source "$state/env"

progress "running the tests (about 1 min)"
(cd build && ctest --output-on-failure -j"$(nproc)" --timeout 600)

if ((full)); then
    progress "checking the installed copy (a few seconds)"
    scripts/check-install.sh build
    progress "running the benchmark once at a small size (about 1 min)"
    bench/run --quick --build build >/dev/null
    progress "building the Debian packages, installing, using and removing them (about 2 min)"
    scripts/check-packages.sh build
    progress "building and running every test under the sanitizers (about 12 min)"
    scripts/sanitize.sh build-sanitize
    progress "building and running each fuzz target for a minute (about 7 min)"
    scripts/fuzz.sh 60 build-fuzz
fi
echo "test: all passed in $(((SECONDS - started) / 60)) min"
