#!/usr/bin/env bash
# Takes the README's pictures of the windows under Xvfb with real fonts: the
# host window of `pelmar gui` after two imports, both pages of the import
# wizard, the column mapping dialog as typed into and as the standard CSV
# mode opens it, the picker and the export dialog, driven by keyboard.
#   gui/screenshots.sh PELMAR OUTPUT_FOLDER    (needs xvfb-run, xdotool, imagemagick)
set -euo pipefail
pelmar=$(realpath "$1")
out=$(realpath "$2")
here=$(dirname "$(realpath "$0")")

if [[ -z "${PELMAR_UNDER_XVFB:-}" ]]; then
    PELMAR_UNDER_XVFB=1 exec xvfb-run -a -s "-screen 0 1280x1024x24 -dpi 96" "$0" "$@"
fi

# A short, fixed folder: its path shows in the pictures.
work=/tmp/pelmar-demo
rm -rf "$work" && mkdir -p "$work"
pid=
trap '[[ -n $pid ]] && kill "$pid" 2>/dev/null; rm -rf "$work"' EXIT
book="Driver=SQLite3;Database=$work/addressbook.db"
"$pelmar" db init "$book" --seed >/dev/null
cp "$here/../samples/contacts.csv" "$work/contacts.csv"
# What a phone's address book exports: its own header names, LF line ends,
# and one contact without a mobile number.
printf '%s\n' 'Given Name,Family Name,Notes,Mobile Phone,E-mail 1 - Value' \
    'Priya,Sharma,,+91 98200 12345,priya@example.com' 'Tomás,Novák,met at the fair,,tomas@example.com' \
    'Grace,Okafor,,09830034567,grace@example.com' >"$work/phone-export.csv"

window() { timeout 30 xdotool search --sync --name "^$1\$" | head -1; }
keys() { xdotool key --delay 300 "$@"; sleep 0.5; }
# A window's picture, small: no metadata, a palette of 256 colours.
shot() {
    sleep 0.5
    import -window "$1" "$work/shot.png"
    convert "$work/shot.png" -strip -colors 256 "PNG8:$out/$2.png"
    echo "$out/$2.png"
}

"$pelmar" gui --remote "$book" --user 1 &
pid=$!
host=$(window PelmarImpExp)
xdotool windowfocus --sync "$host"
keys alt+i
wizard=$(window "Import Contacts")
xdotool windowfocus --sync "$wizard"
xdotool type --delay 5 "$work/contacts.csv"
keys Tab Tab Tab Up  # on to the start row: 2, past the header
shot "$wizard" import-wizard-source
keys alt+s
picker=$(window "Select Folder / Group")
xdotool windowfocus --sync "$picker"
keys Down
shot "$picker" picker
keys alt+o
xdotool windowfocus --sync "$wizard"
keys alt+n
shot "$wizard" import-wizard-preview
keys alt+m
mapping=$(window "Change Mapping")
xdotool windowfocus --sync "$mapping"
keys Right f
xdotool type --delay 50 fi
keys Return Down Down Down Down m
xdotool type --delay 50 mo
shot "$mapping" column-mapping
keys Return alt+o
xdotool windowfocus --sync "$wizard"
keys alt+f
xdotool windowfocus --sync "$(window "Orvanta Notification Server")"
keys Return
xdotool windowfocus --sync "$wizard"
keys alt+c

# The standard CSV mode: the note about LF line ends, the box ticked, and
# the grid named and mapped by the header; OK takes it as it opens.
xdotool windowfocus --sync "$host"
keys alt+i
wizard=$(window "Import Contacts")
xdotool windowfocus --sync "$wizard"
xdotool type --delay 5 "$work/phone-export.csv"
keys Tab Tab Tab Tab Tab Tab Tab Tab space Tab space
shot "$wizard" import-wizard-standard
keys alt+n alt+m
mapping=$(window "Change Mapping")
xdotool windowfocus --sync "$mapping"
shot "$mapping" column-mapping-standard
keys alt+o
xdotool windowfocus --sync "$wizard"
keys alt+f
xdotool windowfocus --sync "$(window "Orvanta Notification Server")"
keys Return
xdotool windowfocus --sync "$wizard"
keys alt+c
xdotool windowfocus --sync "$host"
shot "$host" host-window

keys alt+e
export=$(window "Export Contacts")
xdotool windowfocus --sync "$export"
xdotool type --delay 5 "$work/contacts-export.csv"
shot "$export" export-dialog
keys alt+c
