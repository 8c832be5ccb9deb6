#!/usr/bin/env bash
# Checks `lexora decode` from the outside: the three forms, targets, files, exit codes.
# Usage: decode_test.sh PATH_TO_LEXORA
set -uo pipefail
lexora=$1
. "$(dirname "$0")/testlib.sh"

check "HZ" 6162b0a16364 "$(printf 'ab~{0!~}cd' | "$lexora" decode --hz | xxd -p)"
check "MIME Base64" c4e3bac3 "$(printf '=?gb2312?B?xOO6ww==?=' | "$lexora" decode --mime | xxd -p)"
check "MIME quoted-printable" c4e35f61 "$(printf '=?x?Q?=C4=E3_a?=' | "$lexora" decode --mime | xxd -p)"
check "ISO-2022 shift out" 61b0a162 "$(printf 'a\x1b$)A\x0e0!\x0fb' | "$lexora" decode --iso2022 | xxd -p)"
check "ISO-2022-CN from iconv" "中国 ok" \
    "$(printf '中国 ok\n' | iconv -f UTF-8 -t ISO-2022-CN | "$lexora" decode --iso2022 --to utf8)"
check "to BIG5" 6162b0da6364 "$(printf 'ab~{0!~}cd' | "$lexora" decode --hz --to big5 | xxd -p)"
check "to UTF-8" "你好 Re" "$(printf '=?gb2312?B?xOO6ww==?= Re' | "$lexora" decode --mime --to utf8)"

# Line by line: each line keeps its end, and a "~" after "~}" before the line end is dropped.
printf '~{Dc:C~}~\nab\r\n~{0!~}\n' >"$work/lines.hz"
check "HZ lines" "$(printf '\xc4\xe3\xba\xc3\nab\r\n\xb0\xa1\n' | xxd -p)" \
    "$("$lexora" decode --hz "$work/lines.hz" | xxd -p)"
printf 'x=?gb2312?B?xOO6ww==?=\r\n' >"$work/one.eml"
printf '=?gb2312?B?1tA=?=y' >"$work/two.eml"
check "files in turn" "$(printf 'x\xc4\xe3\xba\xc3\n\xd6\xd0y' | xxd -p)" \
    "$("$lexora" decode --mime "$work/one.eml" "$work/two.eml" | xxd -p)"

"$lexora" decode --hz "$work/missing" >/dev/null 2>"$work/err"
check "unreadable file exits 1" 1 $?
check "unreadable file is named" 1 "$(grep -c "cannot read '$work/missing'" "$work/err")"
"$lexora" decode </dev/null >/dev/null 2>&1
check "no form exits 2" 2 $?
"$lexora" decode --hz --mime </dev/null >/dev/null 2>&1
check "two forms exit 2" 2 $?
"$lexora" decode --hz --to latin1 </dev/null >/dev/null 2>&1
check "unknown encoding exits 2" 2 $?
"$lexora" decode --hz --bogus </dev/null >/dev/null 2>&1
check "unknown option exits 2" 2 $?
check "help" 1 "$("$lexora" decode --help | grep -c '^usage: lexora decode')"

finish
