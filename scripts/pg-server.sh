#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# A throwaway PostgreSQL server for the tests: made in a temporary folder,
# reached only through a Unix socket there, and removed again.
#
#   bash scripts/pg-server.sh run COMMAND [ARG...]
#       starts a server, runs COMMAND with VELKORA_PG_HOST, VELKORA_PG_PORT,
#       VELKORA_PG_USER and VELKORA_PG_DB set, then stops and removes the
#       server, also when COMMAND fails or the script is interrupted. Exits
#       with COMMAND's status. When no server can be started, CI (CI=true)
#       fails; elsewhere COMMAND runs without one and the server tests skip.
#   bash scripts/pg-server.sh start    prints the folder and the variables
#   bash scripts/pg-server.sh stop DIR stops and removes a started server
#
# The server runs as an unprivileged user (postgres, the package's own user),
# because initdb refuses root. Two roles exist: velkora (superuser, trusted
# on the socket) and velkora_pw (password "velkora-test", asked for always),
# for the tests of logins.
set -euo pipefail

pg_bin() {
    local dir
    dir=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1)
    [ -n "$dir" ] && [ -x "$dir/initdb" ] || { echo "PostgreSQL is not installed (Debian: postgresql)" >&2; return 1; }
    echo "$dir"
}

as_server_user() {
    if [ "$(id -u)" = 0 ]; then runuser -u postgres -- "$@"; else "$@"; fi
}

start_server() {
    local bin dir port
    bin=$(pg_bin)
    dir=$(mktemp -d /tmp/velkora-pg-XXXXXX)
    chmod 755 "$dir"
    [ "$(id -u)" = 0 ] && chown postgres: "$dir"
    # Any port will do, since only the socket file's name carries it.
    port=$((20000 + RANDOM % 20000))
    if ! as_server_user "$bin/initdb" -D "$dir/data" -U velkora --auth=trust -E UTF8 --locale=C.UTF-8 \
        > "$dir/initdb.log" 2>&1; then
        cat "$dir/initdb.log" >&2
        rm -rf "$dir"
        return 1
    fi
    printf 'local all velkora_pw scram-sha-256\nlocal all all trust\n' > "$dir/data/pg_hba.conf"
    # Speed over durability: the data are thrown away at the end.
    if ! as_server_user "$bin/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -t 60 start \
        -o "-k $dir -p $port -c listen_addresses= -c fsync=off -c synchronous_commit=off -c full_page_writes=off" \
        > /dev/null; then
        cat "$dir/server.log" >&2 || true
        rm -rf "$dir"
        return 1
    fi
    if ! "$bin/psql" -h "$dir" -p "$port" -U velkora -d postgres -v ON_ERROR_STOP=1 -q \
        -c "CREATE ROLE velkora_pw LOGIN PASSWORD 'velkora-test'" -c "CREATE DATABASE velkora" >&2; then
        stop_server "$dir"
        return 1
    fi
    echo "VELKORA_PG_DIR=$dir"
    echo "VELKORA_PG_HOST=$dir"
    echo "VELKORA_PG_PORT=$port"
    echo "VELKORA_PG_USER=velkora"
    echo "VELKORA_PG_DB=velkora"
}

stop_server() {
    local dir=$1 bin
    [ -d "$dir/data" ] || return 0
    bin=$(pg_bin) || true
    [ -n "$bin" ] && as_server_user "$bin/pg_ctl" -D "$dir/data" -m immediate -w stop > /dev/null 2>&1 || true
    rm -rf "$dir"
}

run_with_server() {
    local settings
    if settings=$(start_server); then
        # shellcheck disable=SC2046
        export $settings
        trap 'stop_server "$VELKORA_PG_DIR"' EXIT
        trap 'exit 130' INT TERM
        echo "PostgreSQL test server on $VELKORA_PG_HOST (port $VELKORA_PG_PORT)" >&2
    elif [ "${CI:-}" = "true" ]; then
        echo "The PostgreSQL test server did not start; CI runs the server tests always" >&2
        exit 1
    else
        echo "No PostgreSQL test server: the server tests skip" >&2
    fi
    "$@"
}

case "${1:-}" in
    start) start_server ;;
    stop) stop_server "${2:?stop needs the folder printed by start}" ;;
    run) shift; run_with_server "$@" ;;
    *) echo "usage: $0 start | stop DIR | run COMMAND [ARG...]" >&2; exit 2 ;;
esac
