#!/usr/bin/env bash
# Checks `lexora convert` from the outside: bytes, pipes, exit codes and messages.
# Usage: convert_test.sh PATH_TO_LEXORA
set -uo pipefail
lexora=$1
. "$(dirname "$0")/testlib.sh"

check "GB to BIG5" a4a4b0ea "$(printf '\xd6\xd0\xb9\xfa' | "$lexora" convert --from gb --to big5 | xxd -p)"
check "BIG5 to GB" d6d0b9fa "$(printf '\xa4\xa4\xb0\xea' | "$lexora" convert --from big5 --to gb | xxd -p)"
check "defaults are GB to BIG5" 41a4a4 "$(printf 'A\xd6\xd0' | "$lexora" convert | xxd -p)"
check "UTF-8 through BIG5 and back" 中國 \
    "$(printf '中国' | "$lexora" convert --from utf8 --to big5 | "$lexora" convert --from big5 --to utf8)"
check "GB to UTF-8" "中国 ok" "$(printf '\xd6\xd0\xb9\xfa ok' | "$lexora" convert --from gb --to utf8)"
# 國 is not in GB2312: it reaches GB through its BIG5 form.
check "UTF-8 traditional to GB" b9fa "$(printf '國' | "$lexora" convert --from utf8 --to gb | xxd -p)"

printf '한a😀' | "$lexora" convert --from utf8 --to gb >"$work/out" 2>"$work/err"
check "unknown characters become ?" "?a?" "$(cat "$work/out")"
check "unknown characters are counted" 1 "$(grep -c "2 characters had no GB or BIG5 form" "$work/err")"
printf '\xff\xfe' | "$lexora" convert --from utf8 --to gb >"$work/out" 2>/dev/null
check "bad UTF-8 bytes become ?" "??" "$(cat "$work/out")"

printf '\xd6\xd0' >"$work/one"
printf '\xb9\xfa' >"$work/two"
check "files in turn" a4a4b0ea "$("$lexora" convert "$work/one" "$work/two" | xxd -p)"

"$lexora" convert "$work/missing" >/dev/null 2>"$work/err"
check "unreadable file exits 1" 1 $?
check "unreadable file is named" 1 "$(grep -c "cannot read '$work/missing'" "$work/err")"
"$lexora" convert --bogus >/dev/null 2>&1
check "unknown option exits 2" 2 $?
"$lexora" convert --from latin1 >/dev/null 2>&1
check "unknown encoding exits 2" 2 $?
"$lexora" convert --to >/dev/null 2>&1
check "missing value exits 2" 2 $?
"$lexora" frobnicate >/dev/null 2>&1
check "unknown command exits 2" 2 $?
check "help" 1 "$("$lexora" convert --help | grep -c '^usage: lexora convert')"

finish
