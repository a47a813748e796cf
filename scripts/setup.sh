#!/usr/bin/env bash
# Installs what building and testing need on a Debian 12 machine (as root).
#   scripts/setup.sh          build tools and libraries
#   scripts/setup.sh servers  ... plus the database servers and ODBC drivers the tests use
set -euo pipefail

packages=(build-essential cmake pkg-config libsqlite3-dev unixodbc-dev libgtest-dev
          libbenchmark-dev qt6-base-dev xvfb xauth xdotool fonts-dejavu-core)
if [[ "${1:-}" == servers ]]; then
    packages+=(postgresql mariadb-server odbc-postgresql odbc-mariadb iproute2)
fi

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
    echo "setup: installing ${missing[*]}"
    if [[ $(id -u) -ne 0 ]]; then
        echo "setup: installing packages needs root (try: sudo $0 $*)" >&2
        exit 1
    fi
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
