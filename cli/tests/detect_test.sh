#!/usr/bin/env bash
# Checks `lexora detect` from the outside: verdicts per file, standard input, exit codes.
# Usage: detect_test.sh PATH_TO_LEXORA
set -uo pipefail
lexora=$1
. "$(dirname "$0")/testlib.sh"

# A few lines of real Chinese with an English line among them, in both pages.
cat >"$work/text.txt" <<'TEXT'
中华人民共和国
今天天气很好，我们去公园散步。
This line has no Chinese at all.
这本书讲的是一个关于学习的故事。
字典
TEXT
"$lexora" convert --from utf8 --to gb "$work/text.txt" >"$work/gb.txt"
"$lexora" convert --from utf8 --to big5 "$work/text.txt" >"$work/big5.txt"

check "GB file" "$work/gb.txt: GB" "$("$lexora" detect "$work/gb.txt")"
check "BIG5 file" "$work/big5.txt: BIG5" "$("$lexora" detect "$work/big5.txt")"
check "standard input is named -" "-: BIG5" "$("$lexora" detect <"$work/big5.txt")"
check "- reads standard input" "-: GB" "$("$lexora" detect - <"$work/gb.txt")"
# Each file starts afresh: the verdicts on the first do not carry over to the second.
check "files in turn" "$work/big5.txt: BIG5|$work/gb.txt: GB" \
    "$("$lexora" detect "$work/big5.txt" "$work/gb.txt" | paste -sd'|')"
# One character alone: 中 in BIG5 (A4 A4) lies where GB2312 has no character; 书 (CA E9) is GB.
check "one BIG5 character" "-: BIG5" "$(printf '\xa4\xa4\n' | "$lexora" detect)"
check "one GB character" "-: GB" "$(printf '\xca\xe9\n' | "$lexora" detect)"
check "CR LF lines" "-: BIG5" "$(sed 's/$/\r/' "$work/big5.txt" | "$lexora" detect)"

printf 'plain\ntext \x80\xa0\n' >"$work/ascii.txt"
check "no double-byte text" "$work/ascii.txt: no double-byte text" "$("$lexora" detect "$work/ascii.txt")"
: >"$work/empty.txt"
check "empty file" "$work/empty.txt: no double-byte text" "$("$lexora" detect "$work/empty.txt")"

"$lexora" detect "$work/missing" "$work/gb.txt" >"$work/out" 2>"$work/err"
check "unreadable file exits 1" 1 $?
check "unreadable file is named" 1 "$(grep -c "cannot read '$work/missing'" "$work/err")"
check "the other files are still judged" "$work/gb.txt: GB" "$(cat "$work/out")"
"$lexora" detect --bogus >/dev/null 2>&1
check "unknown option exits 2" 2 $?
check "help" 1 "$("$lexora" detect --help | grep -c '^usage: lexora detect')"

finish
