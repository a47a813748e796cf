#!/usr/bin/env bash
# Installs what building and testing need on a Debian 12 machine (as root).
#   scripts/setup.sh [TASK...]     TASK: build (always), servers, lint, gui, bench, fuzz, package
# scripts/test.sh needs servers and gui; scripts/test.sh --full all of them.
# Waits for the package manager's lock when another process holds it.
set -euo pipefail

declare -A needs=(
    # help2man and man-db: the manual page and its test, part of every build.
    [build]="build-essential cmake pkg-config libsqlite3-dev unixodbc-dev libgtest-dev qt6-base-dev libcli11-dev libphonenumber-dev libicu-dev libzip-dev libexpat1-dev libxlsxwriter-dev python3 help2man man-db"
    [servers]="postgresql mariadb-server odbc-postgresql odbc-mariadb iproute2"
    [lint]="clang-format clang-tidy"
    [gui]="xvfb xauth xdotool fonts-dejavu-core"
    [bench]="sqlite3"
    [fuzz]="clang libclang-rt-14-dev"
    # scripts/package.sh and check-packages.sh: the packages' dependencies
    # (dpkg-shlibdeps), lintian, the desktop entry's check.
    [package]="dpkg-dev file lintian desktop-file-utils"
)
tasks=(build "$@")
packages=()
for task in "${tasks[@]}"; do
    [[ -n ${needs[$task]+set} ]] || { echo "setup: unknown task '$task' (build servers lint gui bench fuzz package)" >&2; exit 2; }
    read -ra list <<<"${needs[$task]}"
    packages+=("${list[@]}")
done

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
((${#missing[@]})) || exit 0
echo "setup: installing ${missing[*]}"
if [[ $(id -u) -ne 0 ]]; then
    echo "setup: installing packages needs root (try: sudo $0 $*)" >&2
    exit 1
fi
export DEBIAN_FRONTEND=noninteractive
apt=(apt-get -o DPkg::Lock::Timeout=600 -qq)
# The package lists may be locked by another update for a while too.
for attempt in 1 2 3 4 5 6; do
    "${apt[@]}" update && break
    ((attempt < 6)) || exit 1
    echo "setup: package lists busy, trying again in 20 s" >&2
    sleep 20
done
"${apt[@]}" install -y --no-install-recommends "${missing[@]}" >/dev/null
