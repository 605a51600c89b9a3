#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Screenshots of the window on the sample database, under Xvfb with a small
# window manager, driven by the mouse as a user would: docs/velkora.png (the
# Model page) and, in build/screenshots/, the Configuration page and the
# elements' schedule drop-down opened by two clicks on its cell.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=${BUILD_DIR:-$root/build}
out=$build/screenshots
mkdir -p "$out" docs
work=$(mktemp -d)
export DISPLAY=:${SCREENSHOT_DISPLAY:-97}
Xvfb "$DISPLAY" -screen 0 800x600x24 -nolisten tcp &
xvfb=$!
trap 'kill "$xvfb" 2>/dev/null || true; rm -rf "$work"' EXIT
sleep 1
# On a desktop the window is active; a drop-down list stays open only there.
matchbox-window-manager -use_titlebar no > /dev/null 2>&1 &

"$build/cli/velkora-cli" init "$work" --sample > /dev/null
(cd "$work" && QT_QPA_PLATFORM=xcb LC_ALL=${SCREENSHOT_LOCALE:-C.UTF-8} exec "$build/app/velkora") &
app=$!
sleep 3
window=$(xdotool search --name '^Velkora - Kelmot$' | head -n 1)
click() { xdotool mousemove --window "$window" "$1" "$2" click 1; sleep 1; }

import -window "$window" "$out/velkora-model.png"
click 332 271  # the first element's TAPER SCH. cell: the first click selects it,
click 332 271  # the second opens its drop-down
import -window root "$out/velkora-dropdown.png"
xdotool key Escape
sleep 0.5
click 111 77  # the Configuration tab
import -window "$window" "$out/velkora-configuration.png"
kill "$app"
wait "$app" 2> /dev/null || true

cp "$out/velkora-model.png" docs/velkora.png
echo "screenshots in $out, docs/velkora.png"
