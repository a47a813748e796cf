#!/usr/bin/env bash
# Installs a build into a temporary prefix and proves that a host can be built
# and run from the installed copy alone: the C host test compiled with the
# installed headers and pkg-config file, and the Python example, both run
# against the installed library.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
export LANG=C.UTF-8 LC_ALL=C.UTF-8

cmake --install "$build" --prefix "$prefix" >/dev/null
libdir=$(dirname "$(find "$prefix" -name 'libPelmarImpExp.so.*' | sort | head -1)")
export PKG_CONFIG_PATH=$libdir/pkgconfig
cc -std=c11 -pedantic-errors -Wall -Werror component/abi/abi_test.c \
    $(pkg-config --cflags --libs pelmarimpexp) -o "$prefix/abi_test"
(cd "$prefix" && ./abi_test "$libdir/libPelmarImpExp.so.1" >"$prefix/abi_test.log" 2>&1) ||
    { cat "$prefix/abi_test.log" >&2; exit 1; }
echo "check-install: the C host built from the installed headers runs"
python3 examples/python_host.py "$libdir/libPelmarImpExp.so.1" >/dev/null
echo "check-install: the Python host runs against the installed library"
