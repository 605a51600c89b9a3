#!/usr/bin/env bash
# Screenshots of the window on the sample database, under Xvfb:
# docs/velkora.png (the Model page) and, in build/screenshots/, the
# Configuration page and the elements' schedule drop-down.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=${BUILD_DIR:-$root/build}
out=$build/screenshots
mkdir -p "$out" docs
work=$(mktemp -d)
display=:${SCREENSHOT_DISPLAY:-97}
Xvfb "$display" -screen 0 800x600x24 -nolisten tcp &
xvfb=$!
trap 'kill "$xvfb" 2>/dev/null || true; rm -rf "$work"' EXIT
sleep 1

"$build/app/velkora-cli" init "$work" --sample > /dev/null

# Without a window manager the window sits centred without a frame:
# (800 - 594) / 2, (600 - 549) / 2.
crop=594x549+103+25
for shot in model configuration dropdown; do
    (cd "$work" && DISPLAY=$display QT_QPA_PLATFORM=xcb VELKORA_SHOW=$shot \
        LC_ALL=${SCREENSHOT_LOCALE:-C.UTF-8} "$build/app/velkora") &
    pid=$!
    sleep 3
    DISPLAY=$display import -window root -crop "$crop" +repage "$out/velkora-$shot.png"
    kill "$pid"
    wait "$pid" 2>/dev/null || true
done
cp "$out/velkora-model.png" docs/velkora.png
echo "screenshots in $out, docs/velkora.png"
