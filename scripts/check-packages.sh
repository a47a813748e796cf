#!/usr/bin/env bash
# Builds the Debian packages from BUILD_DIR (scripts/package.sh), checks what
# they hold, installs them into this machine, uses every entry point from the
# installed files alone, and removes the packages again, whatever happened.
# As root (CI); the commands run as an unprivileged user where it matters.
#   scripts/check-packages.sh BUILD_DIR
set -euo pipefail
cd "$(dirname "$0")/.."
source=$PWD
build=$(realpath -m "${1:?usage: scripts/check-packages.sh BUILD_DIR}")
export LANG=C.UTF-8 LC_ALL=C.UTF-8
[[ $(id -u) -eq 0 ]] || { echo "check-packages: installs packages, so it runs as root" >&2; exit 1; }
work=$(mktemp -d)
chmod 755 "$work" # the unprivileged user's home is inside
packages=(pelmar-gui pelmar libpelmarimpexp-dev libpelmarimpexp1)
installed=0
cleanup() {
    if ((installed)); then
        # Purged, not only removed (dpkg -r): the library's postrm would keep
        # it known to dpkg until a purge.
        dpkg --purge "${packages[@]}" >/dev/null || echo "check-packages: could not remove ${packages[*]}" >&2
    fi
    rm -rf "$work"
}
trap cleanup EXIT
say() { echo "check-packages: $*"; }
fail() { echo "check-packages: FAILED: $*" >&2; exit 1; }

for p in "${packages[@]}"; do
    ! dpkg -s "$p" >/dev/null 2>&1 || fail "$p is installed already; remove it first (dpkg --purge $p)"
done

# ---- build, and look inside -------------------------------------------------
scripts/package.sh "$build" "$work/debs" >/dev/null
debs=("$work"/debs/*.deb)
((${#debs[@]} == 4)) || fail "expected 4 packages, got: ${debs[*]##*/}"
declare -A expect=(
    [libpelmarimpexp1]='/libPelmarImpExp\.so\.1'
    [libpelmarimpexp-dev]='/include/pelmar/pelmar_impexp\.h|/pkgconfig/pelmarimpexp\.pc|/cmake/PelmarImpExp/PelmarImpExpConfig\.cmake|/cmake/PelmarImpExp/PelmarImpExpConfigVersion\.cmake|/libPelmarImpExp\.so$|/libpelmar_host\.a'
    [pelmar]='/usr/bin/pelmar$|/man1/pelmar\.1\.gz'
    [pelmar-gui]='/pelmar/libpelmar_gui_host\.so|/applications/pelmar-gui\.desktop|/apps/pelmar\.svg'
)
for deb in "${debs[@]}"; do
    name=$(dpkg-deb -f "$deb" Package)
    [[ -n ${expect[$name]+set} ]] || fail "unexpected package $name"
    files=$(dpkg-deb -c "$deb" | awk '{print $6}')
    IFS='|' read -ra wanted <<<"${expect[$name]}"
    for pattern in "${wanted[@]}"; do
        grep -Eq "$pattern" <<<"$files" || fail "$name lacks $pattern"
    done
    grep -Ei '_test|test_|gtest|testkit|/bench|/fuzz' <<<"$files" && fail "$name holds test files"
    grep -Ev '^\./usr/(bin|lib|include|share)/' <<<"$files" | grep -v '^\./$\|^\./usr/$' &&
        fail "$name holds files outside /usr/{bin,lib,include,share}"
    mkdir -p "$work/contents/$name" && dpkg-deb -x "$deb" "$work/contents/$name"
    grep -rlF -e "$build" -e "$source" "$work/contents/$name" && fail "$name names the build or source folder"
    find "$work/contents/$name" -name '*.gz' -exec zgrep -lF -e "$build" -e "$source" {} + &&
        fail "$name names the build or source folder in a compressed file"
    say "$name: $(wc -l <<<"$files") entries, as expected"
done
if command -v lintian >/dev/null; then
    # What it still reports is explained in the README ("Installing").
    lintian --fail-on error,warning --suppress-tags-from-file packaging/lintian-accepted "${debs[@]}" ||
        fail "lintian reports errors or warnings"
    say "lintian: no errors or warnings beyond those the README explains"
fi

# ---- install, with what they depend on from the archive ---------------------
installed=1
DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=600 -qq install -y --no-install-recommends \
    "${debs[@]}" >/dev/null
say "installed ${packages[*]}"
[[ $(command -v pelmar) == /usr/bin/pelmar ]] || fail "pelmar is not /usr/bin/pelmar"
! ldd /usr/bin/pelmar | grep -i 'qt6\|PelmarImpExp' || fail "pelmar links Qt or the library"
module=$(dpkg -L pelmar-gui | grep 'libpelmar_gui_host\.so$')
! ldd -r "$module" 2>&1 | grep -i 'not found\|undefined symbol' || fail "the gui module does not resolve"
page=$(man pelmar 2>/dev/null) && grep -q 'pelmar import' <<<"$page" || fail "man pelmar shows no page"
command -v desktop-file-validate >/dev/null && desktop-file-validate /usr/share/applications/pelmar-gui.desktop
say "pelmar is on the path without Qt, the gui module resolves, man pelmar shows the page"

# ---- the command, as a user who cannot write /usr/bin ------------------------
home=$work/home
mkdir -p "$home"
cp samples/contacts.csv "$home/"
chown -R 65534:65534 "$home"
as_user() { setpriv --reuid=65534 --regid=65534 --clear-groups env -i HOME="$home" LANG=C.UTF-8 PATH=/usr/bin:/bin "$@"; }
cs="Driver=SQLite3;Database=$home/book.db"
as_user pelmar db init "$cs" --seed >/dev/null
status=0
as_user pelmar import "$home/contacts.csv" --remote "$cs" --user 1 --start-row 2 >"$work/import.out" \
    2>"$work/import.err" || status=$?
((status <= 1)) || fail "pelmar import exited $status: $(cat "$work/import.err")"
log=$home/.local/state/pelmar/ImportExport.log
grep -qx "Log: $log" "$work/import.out" || fail "the import does not name the log $log: $(cat "$work/import.out")"
grep -q . "$log" || fail "the import wrote nothing to $log"
as_user pelmar export "$home/out.csv" --remote "$cs" --user 1 >/dev/null 2>"$work/export.err" ||
    fail "pelmar export failed: $(cat "$work/export.err")"
grep -qF "the log is $log" "$work/export.err" || fail "the export does not name the log"
[[ -s $home/out.csv ]] || fail "the export wrote nothing"
say "db init, import ($(grep Imported "$work/import.out")) and export ran; the log is in the user's state folder"

# ---- hosts of the library, built from the installed files alone -------------
library=$(dpkg -L libpelmarimpexp1 | grep 'libPelmarImpExp\.so\.1$')
examples=/usr/share/doc/libpelmarimpexp-dev/examples
python3 "$examples/python_host.py" "$library" >/dev/null || fail "the Python example failed"
say "the Python example runs against $library"
cp -r "$examples" "$work/host"
cmake -S "$work/host" -B "$work/host/build" >/dev/null && cmake --build "$work/host/build" >/dev/null &&
    "$work/host/build/c_host" >/dev/null || fail "the CMake host (find_package(PelmarImpExp)) failed"
say "a CMake host builds with find_package(PelmarImpExp) and runs"
# shellcheck disable=SC2046 # pkg-config's words are separate arguments
cc -std=c11 -Wall -Werror "$work/host/c_host.c" $(pkg-config --cflags --libs pelmarimpexp) -o "$work/pc_host" &&
    "$work/pc_host" >/dev/null || fail "the pkg-config host failed"
say "a C host builds with pkg-config --cflags --libs pelmarimpexp and runs"
say "all passed; removing the packages"
