#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Renders the icon's PNG sizes from dist/icons/org.velkora.Velkora.svg into
# dist/icons/SIZE/ (checked in, so building needs no SVG renderer).
# Needs rsvg-convert (Debian package librsvg2-bin).
set -euo pipefail
cd "$(dirname "$0")/../dist/icons"
for size in 16 22 24 32 48 64 128 256; do
    mkdir -p "$size"
    rsvg-convert -w "$size" -h "$size" org.velkora.Velkora.svg -o "$size/org.velkora.Velkora.png"
done
