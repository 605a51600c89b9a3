#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The menu launcher velkora-start, with the real velkora-cli and a stand-in
# window that prints the folder it was started in.
# Usage: launcher_test.sh VELKORA_CLI VELKORA_START
set -euo pipefail
cli=$1
launcher=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/bin"
cp "$launcher" "$work/bin/velkora-start"
ln -s "$cli" "$work/bin/velkora-cli"
printf '#!/bin/sh\npwd\n' > "$work/bin/velkora"
chmod +x "$work/bin/velkora"
fail() {
    echo "FAILED: $*" >&2
    exit 1
}
# Runs the launcher with HOME $1 and XDG_DATA_HOME $2 (empty: unset); prints
# the folder the window was started in.
start() {
    if [ -n "$2" ]; then
        HOME=$1 XDG_DATA_HOME=$2 "$work/bin/velkora-start" 2> /dev/null | tail -n 1
    else
        (unset XDG_DATA_HOME && HOME=$1 "$work/bin/velkora-start" 2> /dev/null | tail -n 1)
    fi
}
projects() { (cd "$1" && "$cli" projects); }

# (HOME, XDG_DATA_HOME) -> the folder the window starts in, all under the
# test's folder but a relative XDG_DATA_HOME; "-" leaves XDG_DATA_HOME unset.
while read -r name home data expected; do
    case "$data" in
        -) data= ;;
        ../*) ;;
        *) data=$work/$data ;;
    esac
    mkdir -p "$work/$home"
    folder=$(start "$work/$home" "$data")
    [ "$folder" = "$work/$expected" ] || fail "$name: started in $folder, not $work/$expected"
    projects "$folder" | grep -q 'Yagi' || fail "$name: no sample designs in $folder"
done << 'ROWS'
unset_xdg          h1 -       h1/.local/share/velkora
xdg_data_home      h2 data2   data2/velkora
relative_xdg_home  h3 ../rel  h3/.local/share/velkora
ROWS

# A second start keeps what the user changed.
echo "[oledb]" > "$work/h1/.local/share/velkora/velkora.udl"
start "$work/h1" "" > /dev/null
[ "$(cat "$work/h1/.local/share/velkora/velkora.udl")" = "[oledb]" ] || fail "the store was touched"
# A database without a data-link file is left alone too; the window says what is missing.
mkdir -p "$work/h4/.local/share/velkora"
echo keep > "$work/h4/.local/share/velkora/velkora.db"
start "$work/h4" "" > /dev/null
[ ! -e "$work/h4/.local/share/velkora/velkora.udl" ] || fail "a data-link file was added"
[ "$(cat "$work/h4/.local/share/velkora/velkora.db")" = keep ] || fail "the database was touched"
echo "launcher tests passed"
