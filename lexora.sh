#!/usr/bin/env bash
# With arguments: runs LEXORA's native command-line tool with them. Without: starts LEXORA.EXE
# under Wine when an X display is there, else offers a lookup prompt in the terminal. Whatever
# it runs is built first when needed; build output goes to build/lexora-build.log, so standard
# output is the program's alone. LEXORA_NATIVE_TREE and LEXORA_WIN64_TREE choose other trees
# than build/native and build/win64.
set -euo pipefail
root=$(cd "$(dirname "$0")" && pwd)
native=${LEXORA_NATIVE_TREE:-$root/build/native}
win64=${LEXORA_WIN64_TREE:-$root/build/win64}
log="$root/build/lexora-build.log"
mkdir -p "$root/build"

# Runs the command with its output in the log; shows the log's end when it fails.
build() {
    if ! "$@" >>"$log" 2>&1; then
        echo "lexora.sh: the build failed; the end of $log:" >&2
        tail -n 30 "$log" >&2
        exit 1
    fi
}

: >"$log"
build "$root/tools/ensure-packages.sh"
build cmake -S "$root" -B "$native"
if [ $# -eq 0 ] && [ -n "${DISPLAY:-}" ] && xdotool getdisplaygeometry >/dev/null 2>&1; then
    # The Windows tree takes the dictionary, tables, glyphs and pictures from the native one.
    build cmake --build "$native" -j"$(nproc)"
    build cmake -S "$root" -B "$win64" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" \
        -DLEXORA_HOST_BUILD="$native"
    build cmake --build "$win64" --target LEXORA lexora_tables lexora_glyphs lexora_htmlhelp \
        -j"$(nproc)"
    exec "$root/cmake/wine-run.sh" "$win64/wineprefix-app" "$win64/bin/LEXORA.EXE"
fi
build cmake --build "$native" --target lexora lexora_dictionary -j"$(nproc)"
if [ $# -eq 0 ]; then
    echo "lexora.sh: no X display, so no window; look words up here (an empty line ends)" >&2
    exec "$native/bin/lexora" lookup --interactive
fi
exec "$native/bin/lexora" "$@"
