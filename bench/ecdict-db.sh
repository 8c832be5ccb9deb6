#!/usr/bin/env bash
# bench/ecdict-db.sh ECDICT_CSV DATABASE: writes an SQLite database of the ECDICT rows that mklib
# compiles (a printable ASCII headword of 1 to 30 bytes and a translation) as the table
# words(word, phonetic, translation), indexed on word COLLATE NOCASE: the peer the benchmarks
# measure LEXORA.LIB against.
set -euo pipefail

[ $# -eq 2 ] || {
    echo "usage: $0 ECDICT_CSV DATABASE" >&2
    exit 2
}
csv=$1
database=$2
rm -f "$database"
sqlite3 "$database" <<SQL
.mode csv
.import '$csv' ecdict
CREATE TABLE words(word TEXT, phonetic TEXT, translation TEXT);
INSERT INTO words SELECT word, phonetic, translation FROM ecdict
  WHERE length(CAST(word AS BLOB)) BETWEEN 1 AND 30 AND word NOT GLOB '*[^ -~]*'
    AND translation <> '';
DROP TABLE ecdict;
CREATE INDEX words_word ON words(word COLLATE NOCASE);
VACUUM;
SQL
