#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Debian package of Velkora with CPack in build-package/ (a Release
# build of the programs only, installed under /usr) and prints the path of the
# .deb as its last line. The package's library dependencies are found by
# dpkg-shlibdeps (Debian package dpkg-dev).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh >&2
werror=OFF
[ "${CI:-}" = "true" ] && werror=ON
cmake -S . -B build-package -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
      -DVELKORA_TESTS=OFF -DVELKORA_BENCH=OFF -DVELKORA_WERROR="$werror" > /dev/null
cmake --build build-package --parallel "$(nproc)" >&2
rm -f build-package/velkora_*.deb
(cd build-package && cpack -G DEB > /dev/null)
ls "$PWD"/build-package/velkora_*.deb
