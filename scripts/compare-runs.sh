#!/usr/bin/env bash
# Runs the same imports and exports with two builds of `pelmar` and compares
# everything they leave: the address books (dumped), the logs (date and time
# masked), the .bad files, the export files, standard output, standard error
# and the exit statuses. For checking that a change of structure changed no
# behaviour:
#   scripts/compare-runs.sh OLD_PELMAR NEW_PELMAR
set -euo pipefail
[ $# -eq 2 ] || { echo "usage: $0 OLD_PELMAR NEW_PELMAR" >&2; exit 2; }
old=$(realpath "$1")
new=$(realpath "$2")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

write_inputs() {
    local d=$1
    printf 'Asha,B,Verma,asha@example.com,12 Park St,9810012345,Kestrel,f\r\nSean,,O'"'"'Neil,o'"'"'neil@example.com,7 Harbour,9830034567,Bluefin,M\r\nLi,,Wei,ann@example,18 River,9870078901,,\r\n' >"$d/plain.csv"
    printf 'Name,Mobile\r\nAnn,,Lee,,,98100,,X\r\nBad,,Ray,,,9x\r\n"Cy",,Ng,,,98102,,m\r\n,,,,,55\r\nZoë;Ørsted,,,,,98103\r\n' >"$d/mixed.csv"
    printf 'Ann;9810;24;01/02/1990\r\nBob;9811;3000000000;\r\nCy;9812;1e3;31/02/2001\r\n' >"$d/semi.csv"
    # Old files, as users' files are: their settled text is listed from the preview.
    touch -d '1 hour ago' "$d"/*.csv
}

# run NAME ARGS...: one command in both trees, its output kept.
run() {
    local name=$1; shift
    for side in old new; do
        local d=$work/$side bin=$old
        [ $side = new ] && bin=$new
        (cd "$d" && set +e; "$bin" "${@//@D@/$d}" >"$d/$name.out" 2>"$d/$name.err"; echo $? >"$d/$name.status")
    done
}

for side in old new; do
    mkdir -p "$work/$side"
    write_inputs "$work/$side"
    bin=$old; [ $side = new ] && bin=$new
    "$bin" db init "Driver=SQLite3;Database=$work/$side/book.db" --seed >/dev/null
done
cs='Driver=SQLite3;Database=@D@/book.db'
log='@D@/run.log'
run plain import @D@/plain.csv --remote "$cs" --user 1 --log "$log"
run mixed import @D@/mixed.csv --remote "$cs" --user 1 --start-row 2 --log "$log"
run group import @D@/plain.csv --remote "$cs" --local "$cs" --user 2 --to LCGR11 --prefix 91 --log "$log"
run prefix import @D@/plain.csv --remote "$cs" --user 1 --prefix 98 --only-if-not-present --log "$log"
run mapped import @D@/semi.csv --remote "$cs" --user 1 --delimiter semicolon \
    --map 0=FirstName,1=MobileNumber,2=Age,3=Birthday --log "$log"
run badmap import @D@/plain.csv --remote "$cs" --user 1 --map 0=FirstName --log "$log"
run nouser import @D@/plain.csv --remote "$cs" --user 4 --log "$log"
run sharedgroup import @D@/mixed.csv --remote "$cs" --user 1 --to SHGR2 --log "$log"
run export-server export @D@/out-server.csv --remote "$cs" --user 1 --log "$log"
run export-client export @D@/out-client.csv --remote "$cs" --local "$cs" --user 2 --log "$log"
run export-bad export @D@/missing/out.csv --remote "$cs" --user 1 --log "$log"

status=0
for side in old new; do
    d=$work/$side
    sqlite3 "$d/book.db" .dump >"$d/book.sql"
    sed -E 's#[0-9]{2}/[0-9]{2}/[0-9]{4} [0-9]{2}:[0-9]{2}:[0-9]{2}#<stamp>#g' "$d/run.log" >"$d/run.masked"
    rm -f "$d/book.db" "$d/book.db-wal" "$d/book.db-shm" "$d/run.log"
done
# The trees' own paths differ; everything else must not.
sed -i "s#$work/old#@D@#g" $(find "$work/old" -type f)
sed -i "s#$work/new#@D@#g" $(find "$work/new" -type f)
if diff -r "$work/old" "$work/new"; then
    echo "compare-runs: identical ($(find "$work/old" -type f | wc -l) files)"
else
    status=1
fi
exit $status
