#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, builds, prepares a working folder with a data-link
# file and the sample database (never touching one that is already there) and
# starts Velkora in it. Without a display it writes the sample project's models
# with velkora-cli instead and says where they went.
set -euo pipefail
cd "$(dirname "$0")/.."
source_dir=$(pwd)
bash scripts/deps.sh
bash scripts/build.sh

workdir="${VELKORA_HOME:-$HOME/velkora}"
mkdir -p "$workdir"
cli="$source_dir/build/cli/velkora-cli"
if [ ! -e "$workdir/velkora.udl" ] && [ ! -e "$workdir/velkora.db" ]; then
    "$cli" init "$workdir" --sample
    echo "Prepared $workdir with the sample designs."
else
    echo "Using the existing store in $workdir."
fi
cd "$workdir"
"$cli" projects

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    exec "$source_dir/build/app/velkora"
fi

echo "No display is available (DISPLAY is not set), so the window cannot open."
echo "Writing the first project's models with velkora-cli instead:"
mkdir -p models
"$cli" generate --target mmana --axis x --output "$workdir/models/sample.maa"
"$cli" generate --target eznec --axis x --output "$workdir/models/sample.txt"
echo "  $workdir/models/sample.maa"
echo "  $workdir/models/sample.txt"
echo "To see the window, run this again from a desktop session (or under xvfb-run)."
