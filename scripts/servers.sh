#!/bin/bash
# Throwaway PostgreSQL and MariaDB servers for the server tests, run as root
# without systemd, on free loopback ports.
#
#   scripts/servers.sh start STATE_DIR   start both; write STATE_DIR/env
#   scripts/servers.sh stop  STATE_DIR   stop whatever runs there (safe in a trap)
#
# STATE_DIR/env exports ODBCSYSINI (a private odbcinst.ini without psqlODBC's
# communication log), PELMAR_TEST_POSTGRES, PELMAR_TEST_MARIADB and LANG.
set -euo pipefail

usage() { echo "usage: $0 start|stop STATE_DIR" >&2; exit 2; }
[ $# -eq 2 ] || usage
action=$1
state=$(realpath -m "$2")
pg=$state/pg
my=$state/my
PGBIN=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -1)
ODBCDIR=/usr/lib/x86_64-linux-gnu/odbc

fail() {
  echo "servers.sh: $1" >&2
  if [ -n "${2:-}" ] && [ -f "$2" ]; then
    echo "--- last lines of $2:" >&2
    tail -n 30 "$2" >&2
  fi
  exit 1
}

port_free() { [ -z "$(ss -Hltn "sport = :$1")" ]; }

free_port() {
  local p
  for _ in $(seq 1 200); do
    p=$((20000 + RANDOM % 40000))
    if port_free "$p"; then echo "$p"; return; fi
  done
  fail "no free port found"
}

# Every folder above the data folders must be traversable for the postgres user.
open_parents() {
  local d=$1
  while [ "$d" != "/" ]; do
    chmod o+x "$d" 2>/dev/null || true
    d=$(dirname "$d")
  done
}

start_postgres() {
  [ -n "$PGBIN" ] || fail "PostgreSQL binaries not found under /usr/lib/postgresql"
  local port; port=$(free_port)
  mkdir -p "$pg/data" "$pg/sock"
  open_parents "$pg"
  chown -R postgres:postgres "$pg"
  runuser -u postgres -- "$PGBIN/initdb" -D "$pg/data" -U postgres -A trust -E UTF8 \
    --locale=C.UTF-8 --no-sync >"$pg/initdb.log" 2>&1 || fail "initdb failed" "$pg/initdb.log"
  runuser -u postgres -- "$PGBIN/pg_ctl" -D "$pg/data" -l "$pg/server.log" -w -t 60 \
    -o "-p $port -k $pg/sock -c listen_addresses=127.0.0.1" start >/dev/null 2>&1 \
    || fail "PostgreSQL did not come up" "$pg/server.log"
  "$PGBIN/psql" -q -h "$pg/sock" -p "$port" -U postgres -v ON_ERROR_STOP=1 \
    -c "CREATE USER app PASSWORD 'apppw'" \
    -c "CREATE DATABASE sms OWNER app ENCODING 'UTF8'" >"$pg/setup.log" 2>&1 \
    || fail "PostgreSQL setup failed" "$pg/setup.log"
  echo "$port" >"$pg/port"
}

start_mariadb() {
  command -v mariadbd >/dev/null || fail "mariadbd not found"
  local port; port=$(free_port)
  mkdir -p "$my/data" "$my/tmp"
  mariadb-install-db --no-defaults --user=root --datadir="$my/data" \
    --auth-root-authentication-method=socket --skip-test-db >"$my/install.log" 2>&1 \
    || fail "mariadb-install-db failed" "$my/install.log"
  mariadbd --no-defaults --user=root --datadir="$my/data" --tmpdir="$my/tmp" \
    --socket="$my/mysqld.sock" --pid-file="$my/mysqld.pid" --log-error="$my/error.log" \
    --port="$port" --bind-address=127.0.0.1 --skip-name-resolve \
    --character-set-server=utf8mb4 --collation-server=utf8mb4_unicode_ci \
    </dev/null >/dev/null 2>&1 &
  local i
  for i in $(seq 1 300); do
    mariadb-admin --no-defaults --socket="$my/mysqld.sock" -uroot ping >/dev/null 2>&1 && break
    [ "$i" -eq 300 ] && fail "MariaDB did not come up" "$my/error.log"
    sleep 0.1
  done
  mariadb --no-defaults --socket="$my/mysqld.sock" -uroot -e "
    CREATE DATABASE sms CHARACTER SET utf8mb4;
    CREATE USER 'app'@'127.0.0.1' IDENTIFIED BY 'apppw';
    GRANT ALL ON sms.* TO 'app'@'127.0.0.1';" >"$my/setup.log" 2>&1 \
    || fail "MariaDB setup failed" "$my/setup.log"
  echo "$port" >"$my/port"
}

write_env() {
  cat >"$state/odbcinst.ini" <<INI
[PostgreSQL Unicode]
Description=PostgreSQL ODBC driver (Unicode version)
Driver=$ODBCDIR/psqlodbcw.so
Debug=0
CommLog=0

[MariaDB Unicode]
Description=MariaDB Connector/ODBC (Unicode)
Driver=$ODBCDIR/libmaodbc.so
Threading=0
INI
  cat >"$state/env" <<ENV
export ODBCSYSINI=$state
export PELMAR_TEST_POSTGRES='Driver={PostgreSQL Unicode};Server=127.0.0.1;Port=$(cat "$pg/port");Database=sms;Uid=app;Pwd=apppw;'
export PELMAR_TEST_MARIADB='Driver={MariaDB Unicode};Server=127.0.0.1;Port=$(cat "$my/port");Database=sms;Uid=app;Pwd=apppw;'
export LANG=C.UTF-8
ENV
}

stop_postgres() {
  if [ -n "$PGBIN" ] && [ -f "$pg/data/postmaster.pid" ]; then
    runuser -u postgres -- "$PGBIN/pg_ctl" -D "$pg/data" -m fast -w -t 30 stop >/dev/null 2>&1 || true
  fi
}

stop_mariadb() {
  [ -f "$my/mysqld.pid" ] || return 0
  local pid; pid=$(cat "$my/mysqld.pid" 2>/dev/null || true)
  mariadb-admin --no-defaults --socket="$my/mysqld.sock" -uroot shutdown >/dev/null 2>&1 || true
  if [ -n "$pid" ]; then
    for _ in $(seq 1 300); do
      kill -0 "$pid" 2>/dev/null || break
      sleep 0.1
    done
    kill "$pid" 2>/dev/null || true
  fi
  rm -f "$my/mysqld.pid"
}

case $action in
  start)
    [ "$(id -u)" -eq 0 ] || fail "start needs root (initdb runs as postgres, mariadbd as root)"
    if [ -e "$state/env" ]; then fail "$state holds running servers already; stop them first"; fi
    mkdir -p "$state"
    start_postgres
    start_mariadb
    write_env
    echo "servers.sh: PostgreSQL on port $(cat "$pg/port"), MariaDB on port $(cat "$my/port"); source $state/env"
    ;;
  stop)
    stop_postgres
    stop_mariadb
    rm -f "$state/env"
    ;;
  *) usage ;;
esac
