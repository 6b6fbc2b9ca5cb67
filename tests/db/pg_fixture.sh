#!/usr/bin/env bash
# A PostgreSQL server for the data-access tests: "start DIR" makes a cluster in
# DIR, starts it on a free loopback port as the postgres user and writes DIR/env
# (NAVEKO_PG_PORT); "stop DIR" stops that server by its process id.
set -euo pipefail
cmd=${1:?start or stop}
dir=${2:?folder}
bin=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n1)
[ -x "$bin/postgres" ] || { echo "pg_fixture: PostgreSQL server binaries not found" >&2; exit 1; }
as_pg() { if [ "$(id -u)" = 0 ]; then runuser -u postgres -- "$@"; else "$@"; fi; }

stop() {
  [ -f "$dir/pg.pid" ] || return 0
  pid=$(cat "$dir/pg.pid")
  if kill -0 "$pid" 2>/dev/null; then
    kill -INT "$pid" 2>/dev/null || true   # fast shutdown
    for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    kill -9 "$pid" 2>/dev/null || true
  fi
  rm -f "$dir/pg.pid" "$dir/env"
}

case "$cmd" in
stop) stop ;;
start)
  stop
  rm -rf "$dir/data"
  mkdir -p "$dir/data"
  [ "$(id -u)" = 0 ] && chown postgres "$dir" "$dir/data"
  as_pg "$bin/initdb" -D "$dir/data" -A trust -U postgres -E UTF8 >"$dir/initdb.log" 2>&1 \
    || { echo "pg_fixture: initdb failed, see $dir/initdb.log" >&2; exit 1; }
  port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])')
  as_pg "$bin/postgres" -D "$dir/data" -p "$port" -k "$dir" -c listen_addresses=127.0.0.1 \
    -c fsync=off >"$dir/postgres.log" 2>&1 </dev/null &
  echo $! >"$dir/pg.pid"
  for _ in $(seq 100); do
    "$bin/pg_isready" -h 127.0.0.1 -p "$port" -q && break
    sleep 0.1
  done
  "$bin/pg_isready" -h 127.0.0.1 -p "$port" -q || { echo "pg_fixture: server did not start" >&2; stop; exit 1; }
  # The server's own process id (runuser, which started it, may not pass signals on).
  head -n1 "$dir/data/postmaster.pid" >"$dir/pg.pid"
  echo "NAVEKO_PG_PORT=$port" >"$dir/env"
  ;;
esac
