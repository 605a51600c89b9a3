#!/usr/bin/env bash
# Installs the Debian 12 packages that Velkora builds, tests and runs with,
# when any is missing, and a comma-decimal locale for the locale tests.
set -euo pipefail

packages=(g++ cmake make pkg-config python3 qt6-base-dev libqt6sql6-sqlite libgl-dev
          libgtest-dev libgmock-dev libbenchmark-dev locales
          fonts-dejavu-core xvfb xauth imagemagick
          matchbox-window-manager xdotool
          clang libclang-rt-14-dev clang-format)

missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'ok installed' || missing+=("$package")
done
if ((${#missing[@]})); then
    echo "Installing ${missing[*]}"
    apt-get update
    DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
fi

if ! locale -a 2>/dev/null | grep -qx 'de_DE.utf8'; then
    sed -i 's/^# *\(de_DE.UTF-8 UTF-8\)/\1/' /etc/locale.gen
    grep -qx 'de_DE.UTF-8 UTF-8' /etc/locale.gen || echo 'de_DE.UTF-8 UTF-8' >> /etc/locale.gen
    locale-gen
fi
