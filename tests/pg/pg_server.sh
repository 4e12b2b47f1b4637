#!/usr/bin/env bash
# A PostgreSQL server of its own for the tests and the load test: a fresh
# cluster in a temporary folder, listening on loopback only, with the
# database kado_test owned by the user kado (trust login: nothing but this
# machine reaches it, and it lives only as long as the run).
#
#   tests/pg/pg_server.sh start   start it; prints "export KADO_TEST_PG_URI=..." to eval
#   tests/pg/pg_server.sh uri     the URI of the running server
#   tests/pg/pg_server.sh stop    stop it and remove its folder
#
# KADO_PG_DIR (default /tmp/kado-pg-USER) holds data, socket, log and port.
# The server refuses to run as root; as root it runs as the user postgres.
set -euo pipefail
dir="${KADO_PG_DIR:-/tmp/kado-pg-$(id -un)}"
bin="$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -1)"
if [ -z "$bin" ] || [ ! -x "$bin/initdb" ]; then
  echo "pg_server: no PostgreSQL server installed (apt-get install postgresql)" >&2
  exit 1
fi

as_owner() {
  if [ "$(id -u)" -eq 0 ]; then runuser -u postgres -- "$@"; else "$@"; fi
}

running() { [ -f "$dir/port" ] && as_owner "$bin/pg_ctl" -D "$dir/data" status >/dev/null 2>&1; }

uri() { echo "postgresql://kado@127.0.0.1:$(cat "$dir/port")/kado_test"; }

# The first port from 54330 on that nothing listens on.
free_port() {
  local p
  for ((p = 54330; p < 54430; p++)); do
    (exec 3<>"/dev/tcp/127.0.0.1/$p") 2>/dev/null || { echo "$p"; return 0; }
  done
  echo "pg_server: no free port in 54330..54429" >&2
  return 1
}

case "${1:-}" in
  start)
    if running; then echo "export KADO_TEST_PG_URI=$(uri)"; exit 0; fi
    if [ "$(id -u)" -eq 0 ] && ! id postgres >/dev/null 2>&1; then
      echo "pg_server: running as root needs the user postgres (installed with the package postgresql)" >&2
      exit 1
    fi
    rm -rf "$dir"
    mkdir -p "$dir"
    if [ "$(id -u)" -eq 0 ]; then
      chown postgres: "$dir"
      runuser -u postgres -- test -w "$dir" \
        || { echo "pg_server: the user postgres cannot reach $dir (set KADO_PG_DIR elsewhere)" >&2; exit 1; }
    fi
    port="$(free_port)"
    as_owner "$bin/initdb" -D "$dir/data" -U kado -A trust -E UTF8 --no-locale -N >"$dir/initdb.log" 2>&1 \
      || { cat "$dir/initdb.log" >&2; exit 1; }
    as_owner "$bin/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -t 60 \
      -o "-c listen_addresses=127.0.0.1 -p $port -k $dir" start >/dev/null \
      || { cat "$dir/server.log" >&2; exit 1; }
    echo "$port" >"$dir/port"
    as_owner "$bin/createdb" -h 127.0.0.1 -p "$port" -U kado kado_test
    echo "export KADO_TEST_PG_URI=$(uri)"
    ;;
  uri)
    running || { echo "pg_server: not running (start it first)" >&2; exit 1; }
    uri
    ;;
  stop)
    if [ -d "$dir/data" ]; then as_owner "$bin/pg_ctl" -D "$dir/data" -m fast -w stop >/dev/null 2>&1 || true; fi
    rm -rf "$dir"
    ;;
  *)
    echo "usage: $0 start|uri|stop" >&2
    exit 2
    ;;
esac
