#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the whole test suite with AddressSanitizer (leaks included) and
# UndefinedBehaviorSanitizer in build-asan/ and runs it; any report fails the
# run. Warnings are not errors here only: GCC 12 gives a false
# -Wmaybe-uninitialized inside std::variant under the sanitizers.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELKORA_SANITIZE=ON \
    -DVELKORA_WERROR=OFF -DVELKORA_BENCH=OFF > /dev/null
cmake --build build-asan --parallel "$(nproc)"
export ASAN_OPTIONS=detect_leaks=1:detect_stack_use_after_return=1:check_initialization_order=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
# Leaks inside system libraries that are theirs to keep (tests/lsan.supp).
export LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp
# The server tests run against a throwaway PostgreSQL server, as in test.sh.
bash scripts/pg-server.sh run ctest --test-dir build-asan --output-on-failure --parallel "$(nproc)"
