#!/usr/bin/env bash
# Builds the fuzz targets with clang (AddressSanitizer and UndefinedBehaviorSanitizer on) and runs
# each for a while: fuzz/run.sh [SECONDS]   (default 60 each). Findings land in
# build/fuzz/findings/TARGET.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
seconds=${1:-60}
tools/ensure-packages.sh
command -v clang++ >/dev/null || {
    echo "fuzz/run.sh: clang++ is needed (apt-get install clang)" >&2
    exit 1
}
cmake -S . -B build/fuzz -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    -DLEXORA_SANITIZE=ON -DLEXORA_FUZZ=ON -DCMAKE_BUILD_TYPE=Debug >&2
for target in cpconv_fuzz library_fuzz wordbank_fuzz decode_fuzz detect_fuzz; do
    cmake --build build/fuzz --target "$target" -j"$(nproc)" >&2
    mkdir -p "build/fuzz/corpus/$target" "build/fuzz/findings/$target"
    build/fuzz/bin/"$target" -max_total_time="$seconds" -max_len=4096 \
        -artifact_prefix="build/fuzz/findings/$target/" "build/fuzz/corpus/$target"
done
