#!/usr/bin/env bash
# Checks `lexora userlib` from the outside: the file it writes, UTF-8 at the edge, exit codes and
# messages.
# Usage: userlib_test.sh PATH_TO_LEXORA
set -uo pipefail
lexora=$1
. "$(dirname "$0")/testlib.sh"
lib=$work/user.txt

"$lexora" userlib "$lib" create
check "create exits 0" 0 $?
check "created file ends with the text section" "[User Lib Text]" "$(tail -n 1 "$lib" | tr -d '\r')"

"$lexora" userlib "$lib" add dictionary dikSGnGri "词典;n.字典"
"$lexora" userlib "$lib" add 中国 "" China
"$lexora" userlib "$lib" add 'say "hi"' '' 打招呼
check "record line in GB with CR LF" \
    "$(printf '"dictionary","dikSGnGri","\xb4\xca\xb5\xe4;n.\xd7\xd6\xb5\xe4"\r\n' | xxd -p)" \
    "$(grep -a '^"dictionary"' "$lib" | xxd -p)"
check "list in store order, UTF-8" \
    "$(printf 'dictionary\tdikSGnGri\t词典;n.字典\nsay "hi"\t\t打招呼\n中国\t\tChina')" \
    "$("$lexora" userlib "$lib" list)"
check "find ignores letter case" "$(printf 'dictionary\tdikSGnGri\t词典;n.字典')" \
    "$("$lexora" userlib "$lib" find DICTIONARY)"

"$lexora" userlib "$lib" add Dictionary "" "replaced"
check "add replaces the same phrase" "$(printf 'Dictionary\t\treplaced')" \
    "$("$lexora" userlib "$lib" find dictionary)"
"$lexora" userlib "$lib" delete 中国
check "delete removes the record" 2 "$("$lexora" userlib "$lib" list | wc -l)"
"$lexora" userlib "$lib" delete 中国 2>"$work/err"
check "deleting an absent phrase exits 1" 1 $?
check "absent phrase is named" 1 "$(grep -c "'中国' is not in" "$work/err")"

"$lexora" userlib "$lib" add "" "" meaning 2>"$work/err"
check "empty phrase refused" 1 $?
check "refusal explained" 1 "$(grep -c "cannot hold this record" "$work/err")"
"$lexora" userlib "$lib" add 한국 "" Korea 2>"$work/err"
check "character GB lacks refused" 1 "$(grep -c "'한국' is not UTF-8 text that GB2312 can hold" "$work/err")"

printf '[User Lib Header]\r\nDBCS Code Page = CHN-BIG5\r\n[User Lib Text]\r\n' >"$work/big5.txt"
"$lexora" userlib "$work/big5.txt" add 中國 "" China
check "BIG5 library stores BIG5" 1 "$(grep -ac "^\"$(printf '\xa4\xa4\xb0\xea')\"" "$work/big5.txt")"
check "BIG5 library lists UTF-8" "$(printf '中國\t\tChina')" "$("$lexora" userlib "$work/big5.txt" list)"

"$lexora" userlib "$work/missing.txt" list >/dev/null 2>"$work/err"
check "unreadable file exits 1" 1 $?
check "unreadable file is named with the reason" 1 \
    "$(grep -c "cannot read '$work/missing.txt': No such file or directory" "$work/err")"
"$lexora" userlib "$lib" frobnicate >/dev/null 2>&1
check "unknown action exits 2" 2 $?
"$lexora" userlib "$lib" add onlyphrase >/dev/null 2>&1
check "wrong argument count exits 2" 2 $?
check "help" 1 "$("$lexora" userlib --help | grep -c '^usage: lexora userlib')"

finish
