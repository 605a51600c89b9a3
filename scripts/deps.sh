#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the Debian 12 packages that Velkora builds, tests and runs with,
# when any is missing, and the comma-decimal locales of the locale tests.
set -euo pipefail

packages=(g++ cmake make pkg-config python3 qt6-base-dev libqt6sql6-sqlite libqt6sql6-psql libgl-dev
          libgtest-dev libgmock-dev libbenchmark-dev libnlopt-dev locales
          fonts-dejavu-core xvfb xauth imagemagick
          matchbox-window-manager xdotool nec2c postgresql
          libfontconfig-dev libxcb1-dev
          dpkg-dev file desktop-file-utils appstream man-db
          clang libclang-rt-14-dev clang-format
          qt6-svg-dev chromium librsvg2-bin)

missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'ok installed' || missing+=("$package")
done
if ((${#missing[@]})); then
    echo "Installing ${missing[*]}"
    apt-get update
    DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
fi

# Comma-decimal locales for the locale tests: German, and French, whose
# digit-grouping mark is the narrow no-break space.
generate=0
for name in de_DE fr_FR; do
    if ! locale -a 2>/dev/null | grep -qx "${name}.utf8"; then
        sed -i "s/^# *\(${name}.UTF-8 UTF-8\)/\1/" /etc/locale.gen
        grep -qx "${name}.UTF-8 UTF-8" /etc/locale.gen || echo "${name}.UTF-8 UTF-8" >> /etc/locale.gen
        generate=1
    fi
done
if ((generate)); then
    locale-gen
fi
