#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Debian package, installs it as a user would
# (apt-get install ./velkora_...deb), checks what it installed and the first
# start from the application menu, and removes the package again, also when a
# check fails. Screenshots of the first start go to build-package/first-start/.
set -euo pipefail
cd "$(dirname "$0")/.."
deb=$(bash scripts/package.sh | tail -n 1)
shots=$PWD/build-package/first-start
mkdir -p "$shots"
work=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2> /dev/null || true; done
    if dpkg-query -W -f='${Status}' velkora 2> /dev/null | grep -q 'ok installed'; then
        DEBIAN_FRONTEND=noninteractive apt-get remove -y --purge velkora > /dev/null
    fi
    rm -rf "$work"
}
trap cleanup EXIT
step() { echo "== $*"; }
fail() {
    echo "FAILED: $*" >&2
    exit 1
}

step "install $deb"
apt_install() { DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "$deb"; }
apt_install > /dev/null || { apt-get update > /dev/null && apt_install > /dev/null; }
entry=/usr/share/applications/org.velkora.Velkora.desktop

# Qt Gui draws the pictures of plot and report; the window's toolkit stays out.
step "velkora-cli links no Widgets or OpenGL"
! readelf -d /usr/bin/velkora-cli | grep -E 'Qt6(Widgets|OpenGL)' || fail "velkora-cli links them"

step "the installed velkora-cli: init and generate"
(
    cd "$work"
    velkora-cli --version
    velkora-cli init cli --sample
    cd cli
    velkora-cli projects
    velkora-cli generate --target mmana --axis x --output model.maa
    velkora-cli generate --target eznec --axis y --project 2 --output model.txt
    [ -s model.maa ] && [ -s model.txt ] || fail "velkora-cli wrote no models"
)

step "desktop entry and AppStream metadata"
# Hints are suggestions, not faults: HamRadio would like Network or Audio beside it.
report=$(desktop-file-validate "$entry" 2>&1) || fail "desktop-file-validate: $report"
! grep -v ': hint: ' <<< "$report" | grep . || fail "desktop-file-validate: $report"
# The screenshot is a URL where the project publishes docs/velkora.png; the
# check needs no network.
appstreamcli validate --no-net /usr/share/metainfo/org.velkora.Velkora.metainfo.xml
grep -q "^License: GPL-3.0-or-later" /usr/share/doc/velkora/copyright ||
    fail "/usr/share/doc/velkora/copyright does not name the licence"

step "manual pages"
for page in velkora velkora-cli velkora-start; do
    file=/usr/share/man/man1/$page.1.gz
    [ -e "$file" ] || fail "$file is missing"
    warnings=$(MANWIDTH=80 man --warnings -E UTF-8 -l "$file" 2>&1 > "$work/$page.txt") ||
        fail "man -l $file: $warnings"
    [ -z "$warnings" ] || fail "man -l $file warns: $warnings"
    grep -q '^EXIT STATUS' "$work/$page.txt" || fail "$page(1) has no EXIT STATUS"
done

# The desktop entry's command, without field codes.
command=$(sed -n 's/^Exec=//p' "$entry" | sed 's/ *%[A-Za-z]//g')
# Runs the entry's command with a fresh HOME under the offscreen platform for
# three seconds; the window must still be running then.
first_start_offscreen() {
    local status=0
    HOME=$1 QT_QPA_PLATFORM=offscreen timeout 3 $command > /dev/null 2>&1 || status=$?
    [ "$status" = 124 ] || fail "$command ended with status $status"
}

step "first start from the menu (offscreen): makes the user's folder with the samples"
home=$work/home-offscreen
mkdir -p "$home"
(unset XDG_DATA_HOME && first_start_offscreen "$home")
folder=$home/.local/share/velkora
[ -f "$folder/velkora.udl" ] && [ -f "$folder/velkora.db" ] || fail "$folder was not made"
(cd "$folder" && velkora-cli projects | grep -q 'Yagi') || fail "no sample designs in $folder"

step "a store already there is never touched; XDG_DATA_HOME is honoured"
export XDG_DATA_HOME=$work/data
velkora-cli init "$XDG_DATA_HOME/velkora" > /dev/null
first_start_offscreen "$work/home-existing"
(cd "$XDG_DATA_HOME/velkora" && velkora-cli projects | grep -qx 'The store has no projects') ||
    fail "the existing empty store was changed"
unset XDG_DATA_HOME

step "first start from the menu on a display: the window with the sample designs, no error box"
# Xvfb picks a free display and writes its number to standard output.
Xvfb -displayfd 1 -screen 0 800x600x24 -nolisten tcp > "$work/display" 2> /dev/null &
pids+=($!)
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.2; done
[ -s "$work/display" ] || fail "Xvfb did not start"
export DISPLAY=:$(head -n 1 "$work/display")
matchbox-window-manager -use_titlebar no > /dev/null 2>&1 &
pids+=($!)
# Starts the entry's command with HOME $1 and screenshots the window's
# Model page into $2; fails on an error box or without the window.
window_shot() {
    HOME=$1 QT_QPA_PLATFORM=xcb $command > /dev/null 2>&1 &
    local app=$!
    pids+=("$app")
    local window
    window=$(timeout 20 xdotool search --sync --onlyvisible --name '^Velkora( - Kelmot)?$' | head -n 1) ||
        fail "no window appeared"
    sleep 1
    if xdotool search --onlyvisible --name '^Velkora$' > /dev/null; then
        import -window root "$2"
        fail "an error box came up (see $2)"
    fi
    [ "$(xdotool getwindowname "$window")" = "Velkora - Kelmot" ] || fail "wrong caption"
    import -window "$window" "$2"
    kill "$app"
    wait "$app" 2> /dev/null || true
}
window_shot "$work/home-display" "$shots/velkora-samples.png"
# The same window on an empty store, to tell rows from an empty grid.
export XDG_DATA_HOME=$work/empty
velkora-cli init "$XDG_DATA_HOME/velkora" > /dev/null
window_shot "$work/home-empty" "$shots/velkora-empty.png"
unset XDG_DATA_HOME
# The projects grid's rows below its titles (DBGrid3 on the Model page).
rows=560x60+18+115
for shot in samples empty; do
    convert "$shots/velkora-$shot.png" -crop "$rows" +repage "$work/rows-$shot.png"
done
differing=$(compare -metric AE "$work/rows-samples.png" "$work/rows-empty.png" null: 2>&1 || true)
[ "${differing%% *}" -gt 300 ] || fail "the projects grid shows no sample projects ($differing pixels differ)"
echo "the projects grid differs from an empty one in $differing pixels"

step "remove the package"
DEBIAN_FRONTEND=noninteractive apt-get remove -y --purge velkora > /dev/null
[ ! -e /usr/bin/velkora ] && [ ! -e "$entry" ] || fail "files left after removal"
echo "package checks passed"
