#!/usr/bin/env bash
# A throwaway PostgreSQL cluster for the server tests, started and stopped by CTest.
#
#   testcluster.sh start STATE_DIR   initdb + pg_ctl start in a new folder under /tmp
#   testcluster.sh stop STATE_DIR    stops the cluster and removes its folder
#   testcluster.sh halt STATE_DIR    stops the server at once, as a crash would, keeping its data
#   testcluster.sh resume STATE_DIR  starts the halted server again
#
# The cluster listens on a Unix socket in its own folder only (no TCP port) and asks every
# login for its password (scram-sha-256). STATE_DIR/cluster.env tells the tests where the
# socket is and which roles exist; STATE_DIR/pgpass holds the passwords of the superuser
# and of the office role "oficina" (owner of the company databases the tests create).
# When the cluster cannot start, cluster.env says why: the tests then skip, except in CI
# (CI=true), where this script fails and with it every test that needs the cluster.
set -uo pipefail

command=${1:-}
state=${2:-}
if [ -z "$command" ] || [ -z "$state" ]; then
    echo "usage: $0 start|stop|halt|resume STATE_DIR" >&2
    exit 2
fi

env_file="$state/cluster.env"
office=oficina

setting() {
    [ -f "$env_file" ] && sed -n "s/^$1=//p" "$env_file" | head -n 1
}

# initdb and pg_ctl refuse to run as root: as root they run as the postgres system user.
as_owner() {
    if [ "$(id -u)" -eq 0 ]; then
        runuser -u postgres -- "$@"
    else
        "$@"
    fi
}

# Listens on the socket in the cluster's folder only.
start_server() {
    as_owner "$2/pg_ctl" -D "$1/data" -l "$1/server.log" -w -t 60 \
        -o "-c listen_addresses='' -c unix_socket_directories='$1'" start
}

halt_cluster() {
    as_owner "$(setting RECORVAN_PG_BIN)/pg_ctl" -D "$(setting RECORVAN_PG_FOLDER)/data" -m immediate -w stop
}

resume_cluster() {
    start_server "$(setting RECORVAN_PG_FOLDER)" "$(setting RECORVAN_PG_BIN)"
}

stop_cluster() {
    local folder bin
    folder=$(setting RECORVAN_PG_FOLDER)
    bin=$(setting RECORVAN_PG_BIN)
    if [ -n "$folder" ] && [ -d "$folder" ]; then
        if [ -n "$bin" ] && [ -f "$folder/data/postmaster.pid" ]; then
            as_owner "$bin/pg_ctl" -D "$folder/data" -m immediate -w stop >/dev/null 2>&1
        fi
        rm -rf -- "$folder"
    fi
    rm -f -- "$env_file" "$state/pgpass"
}

unavailable() {
    # Quoted, for the tests read this file as an INI file.
    printf 'RECORVAN_PG_UNAVAILABLE="%s"\n' "${1//[\"\\]/ }" >"$env_file"
    echo "No test cluster: $1" >&2
    if [ "${CI:-}" = "true" ]; then
        exit 1
    fi
    exit 0
}

find_bin() {
    local candidate
    for candidate in /usr/lib/postgresql/15/bin /usr/lib/postgresql/*/bin; do
        if [ -x "$candidate/initdb" ] && [ -x "$candidate/pg_ctl" ]; then
            echo "$candidate"
            return 0
        fi
    done
    return 1
}

start_cluster() {
    mkdir -p "$state"
    stop_cluster # what a killed run may have left behind

    local bin folder superuser_password office_password
    bin=$(find_bin) || unavailable "initdb and pg_ctl not found (install the postgresql package)"
    if [ "$(id -u)" -eq 0 ] && ! id postgres >/dev/null 2>&1; then
        unavailable "running as root and there is no postgres system user to run initdb"
    fi
    command -v psql >/dev/null || unavailable "psql not found (install postgresql-client)"

    # /tmp keeps the socket path far below the ~107 bytes a Unix socket address allows,
    # and the postgres user can reach it whatever the build folder's permissions are.
    folder=$(mktemp -d /tmp/recorvan-pg.XXXXXX) || unavailable "cannot create a folder under /tmp"
    chmod 0755 "$folder"
    if [ "$(id -u)" -eq 0 ]; then
        chown postgres: "$folder"
    fi
    {
        echo "RECORVAN_PG_FOLDER=$folder"
        echo "RECORVAN_PG_BIN=$bin"
    } >"$env_file"

    superuser_password=$(head -c 18 /dev/urandom | base64 | tr -d '/+=')
    office_password=$(head -c 18 /dev/urandom | base64 | tr -d '/+=')
    as_owner bash -c 'umask 077 && cat >"$1"' _ "$folder/superuser-password" <<<"$superuser_password"
    if ! as_owner "$bin/initdb" -D "$folder/data" -U postgres --pwfile="$folder/superuser-password" \
        --auth-local=scram-sha-256 --auth-host=reject --encoding=UTF8 --locale=C.UTF-8 --no-sync \
        >"$state/initdb.log" 2>&1; then
        rm -rf -- "$folder"
        unavailable "initdb failed: $(tail -n 3 "$state/initdb.log" | tr '\n' ' ')"
    fi
    rm -f -- "$folder/superuser-password"

    if ! start_server "$folder" "$bin" >"$state/pg_ctl.log" 2>&1; then
        local reason
        reason=$(tail -n 3 "$folder/server.log" 2>/dev/null | tr '\n' ' ')
        stop_cluster
        unavailable "pg_ctl start failed: $reason"
    fi

    (
        umask 077
        printf '*:*:*:postgres:%s\n*:*:*:%s:%s\n' "$superuser_password" "$office" "$office_password" >"$state/pgpass"
    )
    # The password goes in through standard input, never on a command line.
    if ! PGPASSFILE="$state/pgpass" psql -X -q -v ON_ERROR_STOP=1 -h "$folder" -U postgres -d postgres \
        >"$state/psql.log" 2>&1 <<<"CREATE ROLE $office LOGIN CREATEDB CREATEROLE PASSWORD '$office_password';"; then
        local reason
        reason=$(tr '\n' ' ' <"$state/psql.log")
        stop_cluster
        unavailable "cannot create the office role: $reason"
    fi

    {
        echo "RECORVAN_PG_SOCKET=$folder"
        echo "RECORVAN_PG_OFFICE=$office"
    } >>"$env_file"
    echo "Test cluster running on the socket in $folder"
}

case "$command" in
start) start_cluster ;;
stop) stop_cluster ;;
halt) halt_cluster ;;
resume) resume_cluster ;;
*)
    echo "usage: $0 start|stop|halt|resume STATE_DIR" >&2
    exit 2
    ;;
esac
