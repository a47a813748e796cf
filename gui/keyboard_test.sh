#!/usr/bin/env bash
# The import wizard by keyboard alone, under a real X server: `pelmar gui
# --show import` on a new SQLite address book; type the file's path, Tab,
# Alt+N, Alt+F, Enter on the closing message, Alt+C; then the rows are read
# back from the book. Without a window manager the harness hands the focus
# to each new window, as one would.
#   keyboard_test.sh PELMAR [KEYS]   (starts its own X server with xvfb-run)
# KEYS are pressed after the path instead of "Tab alt+n alt+f": "alt+n
# alt+f" checks the typed path through Next's access key alone.
set -euo pipefail
pelmar=$1
after_path=${2:-Tab alt+n alt+f}

if [[ -z "${PELMAR_UNDER_XVFB:-}" ]]; then
    for tool in xvfb-run xdotool xauth; do
        if ! command -v "$tool" >/dev/null; then
            echo "skipped: $tool is missing (Debian packages: xvfb xdotool xauth)"
            exit 77
        fi
    done
    PELMAR_UNDER_XVFB=1 exec xvfb-run -a -s "-screen 0 1280x1024x24 -dpi 96" "$0" "$@"
fi

work=$(mktemp -d)
pid=
trap '[[ -n $pid ]] && kill "$pid" 2>/dev/null; rm -rf "$work"' EXIT
book="Driver=SQLite3;Database=$work/book.db"
"$pelmar" db init "$book" --seed >/dev/null
printf 'Zora,,Quist,zora@example.com,,9811112222,,F\r\nYann,,Pike,yann@example.com,,9822223333,,M\r\n' \
    >"$work/keyboard.csv"

window() { timeout 30 xdotool search --sync --name "^$1\$" | head -1; }

"$pelmar" gui --show import --remote "$book" --user 1 &
pid=$!
wizard=$(window "Import Contacts")
xdotool windowfocus --sync "$wizard"
xdotool type --delay 5 "$work/keyboard.csv"
# A button's mnemonic clicks it a moment later, as a pressed button shows
# itself: keys come at a person's pace.
# shellcheck disable=SC2086 # one key a word
xdotool key --delay 500 $after_path
xdotool windowfocus --sync "$(window "Orvanta Notification Server")" key Return
xdotool windowfocus --sync "$wizard" key alt+c
status=0
timeout 30 tail --pid="$pid" -f /dev/null || status=$?
wait "$pid" || status=$?
pid=
[[ $status -eq 0 ]] || { echo "pelmar gui ended with status $status"; exit 1; }

shown=$("$pelmar" db show "$book")
for name in Zora Yann; do
    grep -q "$name" <<<"$shown" || { echo "$name was not imported"; echo "$shown"; exit 1; }
done
echo "imported by keyboard: Zora, Yann"
