#!/usr/bin/env bash
# Checks `lexora check` on the compiled dictionary, and on copies of it with one byte changed.
# Usage: check_test.sh PATH_TO_LEXORA PATH_TO_LEXORA.LIB
set -uo pipefail
lexora=$1
dictionary=$2
. "$(dirname "$0")/testlib.sh"

# Changes the byte at offset (decimal) of a copy of the dictionary.
damaged_copy() {
    local offset=$1 copy=$work/damaged.lib
    cp "$dictionary" "$copy"
    printf '\x5a' | dd of="$copy" bs=1 seek="$offset" conv=notrunc status=none
    echo "$copy"
}

header_field() { # offset, size: a little-endian number from the header
    od -An -t"u$2" -j"$1" -N"$2" "$dictionary" | tr -d ' '
}

"$lexora" check "$dictionary" >"$work/out" 2>&1
check "the compiled dictionary is sound" 0 $?
entries=$(grep -o '[0-9]* English entries' "$work/out" | cut -d' ' -f1)
words=$(grep -o '[0-9]* Chinese words' "$work/out" | cut -d' ' -f1)
check "more than 700,000 entries" 1 "$([ "${entries:-0}" -gt 700000 ] && echo 1)"
check "more than 300,000 Chinese words" 1 "$([ "${words:-0}" -gt 300000 ] && echo 1)"

entry_data=$(header_field 54 4)
block_size=$(header_field 38 2)
"$lexora" check "$(damaged_copy $((entry_data + 1000 * block_size + 300)))" >/dev/null 2>"$work/err"
check "a changed byte in an entry block fails" 1 $?
check "the fault names the entry blocks" 1 "$(grep -c 'differ from the checksum' "$work/err")"

"$lexora" check "$(damaged_copy 3)" >/dev/null 2>"$work/err"
check "a changed signature fails" 1 $?
check "the signature fault is said" 1 "$(grep -c 'not a LEXORA dictionary' "$work/err")"

"$lexora" check "$work/missing.lib" >/dev/null 2>&1
check "a missing file fails" 1 $?

finish
