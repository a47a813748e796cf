#!/usr/bin/env bash
# Builds the Debian packages libpelmarimpexp1, libpelmarimpexp-dev, pelmar and
# pelmar-gui into OUT_DIR (default BUILD_DIR/packages) and prints their paths.
#   scripts/package.sh [BUILD_DIR [OUT_DIR]]     BUILD_DIR defaults to build-package
# A BUILD_DIR not configured yet is configured for packaging: with Debian's
# hardening flags (dpkg-buildflags) and without the tests. An existing one is
# used as it is, its install prefix set to /usr and its install made not to
# build everything first. Needs `scripts/setup.sh package`.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-package}
out=${2:-$build/packages}
for tool in help2man dpkg-shlibdeps; do
    command -v "$tool" >/dev/null || { echo "package: $tool is missing; run scripts/setup.sh package" >&2; exit 1; }
done

# cpack installs the build first; without this, that would build every
# target (the tests too) before it.
configure=(-DCMAKE_INSTALL_PREFIX=/usr -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON)
if [[ ! -f $build/CMakeCache.txt ]]; then
    configure+=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DPELMAR_BUILD_TESTS=OFF)
    export DEB_BUILD_MAINT_OPTIONS=hardening=+all
    export CFLAGS="$(dpkg-buildflags --get CFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
    export CXXFLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
    export LDFLAGS=$(dpkg-buildflags --get LDFLAGS)
fi
cmake -S . -B "$build" "${configure[@]}" >/dev/null
# What the packages hold, and nothing else (not the tests).
cmake --build "$build" -j"${JOBS:-$(nproc)}" --target PelmarImpExp pelmar_host pelmar pelmar_gui_host pelmar_man_page
mkdir -p "$out"
out=$(cd "$out" && pwd)
rm -f "$out"/*.deb
(cd "$build" && cpack -G DEB -B "$out" >"$out/cpack.log") || { cat "$out/cpack.log" >&2; exit 1; }
rm -rf "$out/_CPack_Packages"
ls "$out"/*.deb
