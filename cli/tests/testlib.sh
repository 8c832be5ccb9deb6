# Shared by the shell tests of the lexora command: a scratch folder and the check counter.
# Source it after setting `lexora`; end the script with `finish`.
checks=0
failures=0
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# check WHAT EXPECTED ACTUAL
check() {
    local what=$1 expected=$2 actual=$3
    checks=$((checks + 1))
    if [ "$expected" != "$actual" ]; then
        echo "FAIL: $what: expected '$expected', got '$actual'"
        failures=$((failures + 1))
    fi
}

finish() {
    echo "$((checks - failures)) passed, $failures failed"
    [ "$failures" -eq 0 ]
}
