#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Writes the report of the sample designs and checks it as a reader sees it:
# every kind of picture of every sample opens in rsvg-convert, the page opens in headless
# Chromium without console messages, and its screenshot shows the plots.
# Keeps the screenshot in build/report/report.png (DOCS=1 copies it and the
# pictures of the 6-element sample to docs/).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=${BUILD_DIR:-$root/build}
out=$build/report
convert=/usr/bin/convert  # ImageMagick itself
mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cli=$build/cli/velkora-cli
# Runs velkora-cli without its progress lines; a failure shows its messages.
run_cli() { "$cli" "$@" 2> "$work/stderr" || { cat "$work/stderr" >&2; return 1; }; }
cd "$work"
"$cli" init --sample > /dev/null

start=$(date +%s%N)
run_cli report --output "$out/report.html"
echo "report of the seven samples: $(( ($(date +%s%N) - start) / 1000000 )) ms"

for project in 1 2 3 4 5 6 7; do
    for kind in azimuth elevation swr smith geometry; do
        run_cli plot --project "$project" --kind "$kind" --output "$work/$kind.svg"
        rsvg-convert "$work/$kind.svg" -o "$work/$kind-rsvg.png"
    done
done
echo "rsvg-convert opened every kind of every sample"
for kind in azimuth elevation swr smith geometry; do
    run_cli plot --project 4 --kind "$kind" --output "$out/$kind.svg"
    run_cli plot --project 4 --kind "$kind" --output "$out/$kind.png"
done

chromium --headless --no-sandbox --disable-gpu --disable-quic --no-first-run \
    --disable-background-networking --disable-component-update --disable-sync \
    --user-data-dir="$work/profile" --enable-logging=stderr --v=0 \
    --hide-scrollbars --window-size=1200,1700 --screenshot="$out/report.png" \
    "file://$out/report.html" 2> "$work/chromium.log" > /dev/null
if grep -q "CONSOLE" "$work/chromium.log"; then
    grep "CONSOLE" "$work/chromium.log" >&2
    echo "check-report: the page logged console messages" >&2
    exit 1
fi

# The polar plots' pale blue fill shows only where a plot was drawn.
filled=$("$convert" "$out/report.png" -alpha off -fuzz 4% -fill black -opaque '#dee5f4' \
    -fill white +opaque black -negate -format '%[fx:mean]' info:)
inked=$("$convert" "$out/report.png" -alpha off -fuzz 8% -fill black +opaque white \
    -format '%[fx:1-mean]' info:)
echo "screenshot: ${inked} of it not white, ${filled} the plots' fill"
awk -v f="$filled" -v i="$inked" 'BEGIN { exit !(f > 0.005 && i > 0.03) }' || {
    echo "check-report: the screenshot shows no plots" >&2
    exit 1
}

if [[ ${DOCS:-0} == 1 ]]; then
    cp "$out/report.png" "$root/docs/report.png"
    for kind in azimuth elevation swr smith geometry; do cp "$out/$kind.svg" "$root/docs/$kind.svg"; done
fi
echo "check-report: the report renders with its plots"
