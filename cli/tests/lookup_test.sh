#!/usr/bin/env bash
# Checks `lexora lookup` from the outside on the real dictionary: what the main window would
# show, the select list, the captured-text and short answers, the user library, exit codes.
# Usage: lookup_test.sh PATH_TO_LEXORA
set -uo pipefail
lexora=$1
. "$(dirname "$0")/testlib.sh"

# Runs lexora lookup with the arguments; its output goes to $work/out, its exit code to $status.
lookup() {
    "$lexora" lookup "$@" >"$work/out" 2>"$work/err"
    status=$?
}

line() { # number: that line of the last output
    sed -n "$1p" "$work/out"
}

matching() { # pattern: how many lines of the last output match it
    grep -c -E -- "$1" "$work/out"
}

# An exact English hit: headword, IPA transcription, one part of speech per line.
lookup book
check "book exits 0" 0 "$status"
check "book headword" book "$(line 1)"
check "book phonetic" "[buk]" "$(line 2)"
check "book noun line" 1 "$(matching '^n\. 书; 书籍; ')"
check "book verb line" 1 "$(matching '^v\. 登记; 预订$')"

lookup actioned
check "stemmed form exits 0" 0 "$status"
check "stemmed form finds its stem" action "$(line 1)"
check "phonetic codes become IPA" "[ˈækʃən]" "$(line 2)"

lookup bookx
check "nearest entry exits 1" 1 "$status"
check "nearest entry is marked" 1 "$(line 1 | grep -c ' (nearest entry)$')"

lookup 中国
check "Chinese word exits 0" 0 "$status"
check "Chinese word heads its answer" 中国 "$(line 1)"
check "equivalents are counted" 1 "$(matching '^[0-9]+ English equivalents:$')"
check "China is an equivalent, with its first meaning" 1 "$(matching '^  China  中国$')"

lookup 1234.5
check "amount exits 0" 0 "$status"
check "amount in capital numerals" 壹仟贰佰叁拾肆元伍角 "$(line 3)"
check "amount label" "[金额]" "$(line 2)"

lookup www.example.com
check "domain name exits 0" 0 "$status"
check "domain name labels named" 万维网.example.公司 "$(line 3)"

lookup book bookx
check "the worst answer sets the exit code" 1 "$status"
check "answers are separated by an empty line" 1 "$(matching '^$')"
check "both words are answered" 2 "$(matching '^book')"

# The select list: four words before the current one, itself marked, and those after it.
lookup --neighbours book
check "neighbours follow the answer" 1 "$(matching '^neighbours:$')"
check "twenty neighbours" 20 "$(sed '1,/^neighbours:$/d' "$work/out" | wc -l)"
check "the word is the fifth neighbour" "> book" "$(sed '1,/^neighbours:$/d' "$work/out" | sed -n 5p)"
check "one neighbour is marked" 1 "$(matching '^> ')"
lookup --neighbours bookx
check "a nearest entry marks no neighbour" 0 "$(matching '^> ')"
lookup --neighbours 中国
check "Chinese neighbours mark the word" "> 中国" "$(sed '1,/^neighbours:$/d' "$work/out" | sed -n 5p)"

lookup --raw book
check "raw entry text in GB with its separators" 626f6f6b0162756b0208cae9 \
    "$(head -c 12 "$work/out" | xxd -p)"

lookup --capture "dictionary..."
check "capture exits 0" 0 "$status"
check "capture answer has the phonetic in brackets" 1 "$(matching '^dictionary  \[[^]]+\] .*字典')"
lookup --capture "中国人民" --mode 1
check "capture mode 1 takes the first character" 1 "$(matching '^中  ')"
lookup --capture "中国人民" --mode 2
check "capture mode 2 takes the shortest word" 1 "$(matching '^中国  China')"
lookup --capture "中国人民"
check "capture takes the longest word by default" 1 "$(matching '^中国人  Chinese')"

lookup --short "File..."
check "short translation exits 0" 0 "$status"
check "short Chinese word followed by the periods" 1 "$(matching '^[^ -~]+\.\.\.$')"
lookup --short 6
check "no short translation exits 1" 1 "$status"

"$lexora" userlib "$work/user.txt" create
"$lexora" userlib "$work/user.txt" add book bUk "我的书"
lookup --userlib "$work/user.txt" book cat
check "user library first" "book (user library)" "$(line 1)"
check "user library meaning" 我的书 "$(line 3)"
check "dictionary after the user library" cat "$(line 5)"

lookup --userlib "$work/missing.txt" book
check "unreadable user library exits 2" 2 "$status"
lookup "   "
check "blank word exits 2" 2 "$status"
check "blank word is reported" 1 "$(grep -c "no answer for '   '" "$work/err")"
lookup
check "no word exits 2" 2 "$status"
lookup --bogus book
check "unknown option exits 2" 2 "$status"
lookup --capture text --mode 4
check "bad mode exits 2" 2 "$status"
lookup --mode 2 book
check "mode without capture exits 2" 2 "$status"
lookup --capture a --short b
check "two requests exit 2" 2 "$status"
lookup --help
check "help" 1 "$(matching '^usage: lexora lookup')"

finish
