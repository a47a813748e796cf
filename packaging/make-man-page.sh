#!/usr/bin/env bash
# Makes pelmar's manual page from its own help: help2man turns `pelmar --help`
# and `--version` into the page, and every command's --help follows in the
# COMMANDS section word for word. Writes PAGE and PAGE.gz.
#   make-man-page.sh PELMAR PAGE
set -euo pipefail
pelmar=$1 page=$2
commands=(import export "db init" "db show" gui typelib)
include=$(mktemp)
trap 'rm -f "$include"' EXIT

# Text as roff prints it: backslashes and minus signs escaped, and no line
# read as a request for starting with a dot or an apostrophe.
roff_text() { sed -e 's/\\/\\e/g' -e 's/-/\\-/g' -e "s/^[.']/\\\\\\&&/"; }

{
    echo "[COMMANDS]"
    for command in "${commands[@]}"; do
        echo ".SS \"pelmar $command\""
        echo ".nf"
        # shellcheck disable=SC2086 # "db init" is two words
        "$pelmar" $command --help | roff_text
        echo ".fi"
    done
    echo "[FILES]"
    echo ".TP"
    echo ".I ImportExport.log"
    echo "The log when \\-\\-log names none: beside the program where that folder can be written, else in"
    echo ".I \$XDG_STATE_HOME/pelmar"
    echo "(by default"
    echo ".IR ~/.local/state/pelmar ),"
    echo "made on first use."
} >"$include"

LC_ALL=C.UTF-8 help2man --no-info --section=1 --include="$include" \
    --name="import and export the contacts of the SMS address book" "$pelmar" >"$page"
gzip -9n -c "$page" >"$page.gz"
