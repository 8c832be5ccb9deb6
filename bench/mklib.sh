#!/usr/bin/env bash
# bench/mklib.sh MKLIB ECDICT_CSV: times mklib compiling the whole of ECDICT and sets the size of
# LEXORA.LIB beside the CSV and an SQLite database of the same rows (word, phonetic,
# translation, indexed on word COLLATE NOCASE). Fails when the compile takes 90 s or more or
# LEXORA.LIB is more than half the size of the database. The last line is the size ratio.
set -euo pipefail

readonly max_seconds=90
readonly max_ratio=0.5

[ $# -eq 2 ] || {
    echo "usage: $0 MKLIB ECDICT_CSV" >&2
    exit 2
}
mklib=$1
csv=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

now() {
    date +%s.%N
}

start=$(now)
if ! "$mklib" --ecdict "$csv" --out "$work/LEXORA.LIB" 2>"$work/mklib.log"; then
    cat "$work/mklib.log" >&2
    exit 1
fi
end=$(now)
"$(dirname "${BASH_SOURCE[0]}")/ecdict-db.sh" "$csv" "$work/words.db"

seconds=$(awk -v s="$start" -v e="$end" 'BEGIN { printf "%.1f", e - s }')
lib_size=$(stat -c %s "$work/LEXORA.LIB")
csv_size=$(stat -c %s "$csv")
db_size=$(stat -c %s "$work/words.db")
db_rows=$(sqlite3 "$work/words.db" 'SELECT count(*) FROM words')
ratio=$(awk -v l="$lib_size" -v d="$db_size" 'BEGIN { printf "%.3f", l / d }')

tail -n 1 "$work/mklib.log"
echo "mklib compile of ECDICT: $seconds s (limit $max_seconds s)"
echo "LEXORA.LIB: $lib_size bytes"
echo "ECDICT CSV: $csv_size bytes"
echo "SQLite database: $db_size bytes ($db_rows rows)"
echo "mklib size vs sqlite: $ratio"

status=0
if awk -v s="$seconds" -v m="$max_seconds" 'BEGIN { exit !(s >= m) }'; then
    echo "mklib: the compile took $seconds s, the limit is $max_seconds s" >&2
    status=1
fi
if awk -v r="$ratio" -v m="$max_ratio" 'BEGIN { exit !(r > m) }'; then
    echo "mklib: LEXORA.LIB is $ratio of the SQLite database, the limit is $max_ratio" >&2
    status=1
fi
exit $status
