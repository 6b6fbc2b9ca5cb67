#!/usr/bin/env bash
# A PostgreSQL server for the data-access and end-to-end tests: "start DIR"
# makes a cluster in a folder of its own under the system's temporary folder
# (owned by the postgres user, who may not be able to enter DIR), starts it on
# a free loopback port and writes DIR/env (NAVEKO_PG_PORT, NAVEKO_PG_DATA);
# "stop DIR" stops that server by its process id and removes its folder.
set -euo pipefail
cmd=${1:?start or stop}
dir=${2:?folder}
bin=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n1)
[ -x "$bin/postgres" ] || { echo "pg_fixture: PostgreSQL server binaries not found" >&2; exit 1; }
as_pg() { if [ "$(id -u)" = 0 ]; then runuser -u postgres -- "$@"; else "$@"; fi; }

stop() {
  [ -f "$dir/env" ] || return 0
  data=$(sed -n 's/^NAVEKO_PG_DATA=//p' "$dir/env")
  pid=$(sed -n 's/^NAVEKO_PG_PID=//p' "$dir/env")
  if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then
    kill -INT "$pid" 2>/dev/null || true   # fast shutdown
    for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    kill -9 "$pid" 2>/dev/null || true
  fi
  case "$data" in /tmp/naveko-pg.*|"${TMPDIR:-/tmp}"/naveko-pg.*) rm -rf "$data" ;; esac
  rm -f "$dir/env"
}

case "$cmd" in
stop) stop ;;
start)
  stop
  mkdir -p "$dir"
  data=$(mktemp -d "${TMPDIR:-/tmp}/naveko-pg.XXXXXX")
  chmod 755 "$data"
  [ "$(id -u)" = 0 ] && chown postgres "$data"
  as_pg "$bin/initdb" -D "$data/cluster" -A trust -U postgres -E UTF8 >"$dir/initdb.log" 2>&1 \
    || { echo "pg_fixture: initdb failed, see $dir/initdb.log" >&2; rm -rf "$data"; exit 1; }
  port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])')
  as_pg "$bin/postgres" -D "$data/cluster" -p "$port" -k "$data" -c listen_addresses=127.0.0.1 \
    -c fsync=off >"$dir/postgres.log" 2>&1 </dev/null &
  for _ in $(seq 100); do
    "$bin/pg_isready" -h 127.0.0.1 -p "$port" -q && break
    sleep 0.1
  done
  # The server's own process id (runuser, which started it, may not pass signals on).
  pid=$(head -n1 "$data/cluster/postmaster.pid" 2>/dev/null || true)
  printf 'NAVEKO_PG_PORT=%s\nNAVEKO_PG_DATA=%s\nNAVEKO_PG_PID=%s\n' "$port" "$data" "$pid" >"$dir/env"
  "$bin/pg_isready" -h 127.0.0.1 -p "$port" -q || { echo "pg_fixture: server did not start" >&2; stop; exit 1; }
  ;;
esac
