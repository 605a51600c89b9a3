#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, builds, and runs the whole test suite.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
bash scripts/build.sh
# The server tests run against a throwaway PostgreSQL server.
bash scripts/pg-server.sh run ctest --test-dir build --output-on-failure --parallel "$(nproc)"
