#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the libFuzzer targets with clang in build-fuzz/ and runs each from its
# seed corpus (tests/fuzz/corpus) for a bounded time; any crash, leak or
# undefined behaviour fails the run and leaves its input in build-fuzz/findings.
# Usage: scripts/fuzz.sh [seconds per target, default 20]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-20}"
targets=(data_link number_pattern taper_walk cp1252 model_writers)

CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DVELKORA_FUZZ=ON -DVELKORA_WERROR=ON -DVELKORA_BENCH=OFF > /dev/null
cmake --build build-fuzz --parallel "$(nproc)" --target "${targets[@]/#/fuzz_}"

export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
mkdir -p build-fuzz/findings
for target in "${targets[@]}"; do
    echo "== fuzz_$target (${seconds} s)"
    # New inputs go to a scratch corpus; the checked-in seeds stay as they are.
    mkdir -p "build-fuzz/corpus/$target"
    "build-fuzz/tests/fuzz/fuzz_$target" -max_total_time="$seconds" -timeout=10 -max_len=4096 \
        -print_final_stats=1 -artifact_prefix="build-fuzz/findings/$target-" \
        "build-fuzz/corpus/$target" "tests/fuzz/corpus/$target"
done
