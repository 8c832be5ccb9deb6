#!/usr/bin/env bash
# Runs every test of LEXORA: installs what is missing, builds the native tree, the native tree
# with AddressSanitizer and UndefinedBehaviorSanitizer, and the Windows tree, and runs the tests
# of all three (the Windows ones under Wine, with a virtual X display).
set -euo pipefail
cd "$(dirname "$0")"

tools/ensure-packages.sh
jobs=$(nproc)

build_and_test() {
    local tree=$1
    shift
    echo "== $tree: configure and build"
    cmake -S . -B "build/$tree" "$@" >/dev/null
    cmake --build "build/$tree" -j"$jobs"
    echo "== $tree: tests"
    ctest --test-dir "build/$tree" --output-on-failure -j"$jobs"
}

build_and_test native
build_and_test native-sanitize -DLEXORA_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug
echo "== win64: configure and build"
cmake -S . -B build/win64 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake \
    -DLEXORA_HOST_BUILD="$PWD/build/native" >/dev/null
cmake --build build/win64 -j"$jobs"
echo "== win64: tests (Wine)"
xvfb-run -a ctest --test-dir build/win64 --output-on-failure -j"$jobs"
