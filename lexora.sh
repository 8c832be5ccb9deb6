#!/usr/bin/env bash
# Runs LEXORA's native command-line tool with the given arguments, building it first when
# needed. Build output goes to build/lexora-build.log, so standard output is the tool's alone.
set -euo pipefail
root=$(cd "$(dirname "$0")" && pwd)
log="$root/build/lexora-build.log"
mkdir -p "$root/build"

if ! {
    "$root/tools/ensure-packages.sh" &&
        cmake -S "$root" -B "$root/build/native" &&
        cmake --build "$root/build/native" --target lexora lexora_dictionary -j"$(nproc)"
} >"$log" 2>&1; then
    echo "lexora.sh: the build failed; the end of $log:" >&2
    tail -n 30 "$log" >&2
    exit 1
fi
exec "$root/build/native/bin/lexora" "$@"
