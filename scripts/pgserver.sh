# A throwaway PostgreSQL server: loopback only, a free port, a temporary folder.
# shellcheck shell=bash

PG_DIR=""
PG_PORT=""

pg_bin() {
    local dir
    dir=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1)
    [ -n "$dir" ] || { echo "No se encontró el servidor PostgreSQL" >&2; return 1; }
    echo "$dir"
}

# initdb refuses root: the server runs as postgres when we are root.
pg_as_owner() {
    if [ "$(id -u)" -eq 0 ]; then runuser -u postgres -- "$@"; else "$@"; fi
}

free_port() {
    local port
    for port in $(seq 54330 54400); do
        (echo >"/dev/tcp/127.0.0.1/$port") 2>/dev/null || { echo "$port"; return 0; }
    done
    return 1
}

# The pg_ctl command line that stops and starts this server again (tests of a lost connection
# run it with "stop -m fast" and "start"): the settings live in the data folder for that.
pg_ctl_cmd() {
    local owner=""
    [ "$(id -u)" -eq 0 ] && owner="runuser -u postgres -- "
    echo "${owner}$(pg_bin)/pg_ctl -D $PG_DIR/data -l $PG_DIR/log -w"
}

pg_start() {
    local bin
    bin=$(pg_bin)
    PG_DIR=$(mktemp -d /tmp/kt508-pg.XXXXXX)
    PG_PORT=$(free_port)
    [ "$(id -u)" -eq 0 ] && chown postgres: "$PG_DIR"
    pg_as_owner "$bin/initdb" -D "$PG_DIR/data" -U postgres --auth=trust -E UTF8 --locale=C.UTF-8 >/dev/null
    printf "port = %s\nunix_socket_directories = '%s'\nlisten_addresses = '127.0.0.1'\nfsync = off\n" \
        "$PG_PORT" "$PG_DIR" | pg_as_owner tee -a "$PG_DIR/data/postgresql.conf" >/dev/null
    $(pg_ctl_cmd) start >/dev/null
    pg_as_owner "$bin/createdb" -h 127.0.0.1 -p "$PG_PORT" -U postgres kt508
    echo "PostgreSQL de pruebas en 127.0.0.1:$PG_PORT"
}

pg_stop() {
    [ -n "$PG_DIR" ] || return 0
    pg_as_owner "$(pg_bin)/pg_ctl" -D "$PG_DIR/data" -m immediate stop >/dev/null 2>&1 || true
    rm -rf "$PG_DIR"
    PG_DIR=""
}
