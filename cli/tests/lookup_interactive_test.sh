#!/usr/bin/env bash
# Checks `lexora lookup --interactive`: a word a line from standard input, each answered as
# `lexora lookup WORD` answers it, until the input or an empty line ends; bounded lines.
# Usage: lookup_interactive_test.sh PATH_TO_LEXORA
set -uo pipefail
lexora=$1
. "$(dirname "$0")/testlib.sh"

# Feeds its first argument to lexora lookup --interactive with the other arguments; the output
# goes to $work/out, standard error to $work/err, the exit code to $status.
interactive() {
    local input=$1
    shift
    printf '%b' "$input" | "$lexora" lookup "$@" --interactive >"$work/out" 2>"$work/err"
    status=$?
}

"$lexora" lookup book bookx 中国 >"$work/words" 2>&1
interactive 'book\nbookx\n中国\n'
check "answers as for the words given" "$(cat "$work/words")" "$(cat "$work/out")"
check "a nearest entry does not end it with 1" 0 "$status"
check "no prompt when the input is no terminal" "" "$(cat "$work/err")"

interactive 'book\n\ncat\n'
check "an empty line ends it" "$("$lexora" lookup book)" "$(cat "$work/out")"
check "an empty line exits 0" 0 "$status"

interactive 'book\r\ncat'
check "CR LF line ends and a last line without its end" "$("$lexora" lookup book cat)" \
    "$(cat "$work/out")"

interactive ''
check "no input: no output" "" "$(cat "$work/out")"
check "no input exits 0" 0 "$status"

interactive "$(head -c 5000 /dev/zero | tr '\0' a)\nbook\n"
check "an overlong line is reported" 1 "$(grep -c 'longer than 1024 bytes was skipped' "$work/err")"
check "the line after an overlong one is answered" 1 "$(grep -c '^book$' "$work/out")"
check "an overlong line exits 0" 0 "$status"

interactive '   \nbook\n'
check "a blank word is reported" 1 "$(grep -c "no answer for '   '" "$work/err")"
check "and the next one answered" 1 "$(grep -c '^\[buk\]$' "$work/out")"

interactive 'book\n' --neighbours
check "neighbours follow each answer" "$("$lexora" lookup --neighbours book)" "$(cat "$work/out")"

interactive 'book\n' book
check "words with --interactive exit 2" 2 "$status"
interactive 'book\n' --short File
check "--short with --interactive exits 2" 2 "$status"

finish
