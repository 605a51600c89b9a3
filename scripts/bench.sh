#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the benchmarks in Release in build-bench/ and runs every one of them.
# Usage: bash scripts/bench.sh [filter]   (filter: a --benchmark_filter regex)
set -euo pipefail
cd "$(dirname "$0")/.."
# The server variants of writer_bench run against a throwaway PostgreSQL server.
if [ -z "${VELKORA_PG_HOST:-}" ] && [ -z "${VELKORA_BENCH_IN_SERVER:-}" ]; then
    export VELKORA_BENCH_IN_SERVER=1
    exec bash scripts/pg-server.sh run bash "$0" "$@"
fi
cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DVELKORA_BENCH=ON > /dev/null
cmake --build build-bench --parallel 2 --target velkora_benchmarks
filter=${1:-.}
status=0
while IFS= read -r program; do
    echo "== ${program#build-bench/}"
    "$program" --benchmark_filter="$filter" || status=1
done < <(find build-bench/bench -maxdepth 1 -type f -executable -name '*_bench' | sort)
exit "$status"
