#!/usr/bin/env bash
# A throwaway PostgreSQL server for the tests.
#   pgcluster.sh start DIR   makes a cluster under DIR (which must not hold one),
#                            starts it on a free loopback port and writes its
#                            address (postgresql://corvane@127.0.0.1:PORT/postgres)
#                            to DIR/address
#   pgcluster.sh stop DIR    stops it and removes DIR
# Run as root, the server runs as the postgres user (it refuses root).
set -euo pipefail

cmd=${1:-}
dir=${2:-}
[ -n "$cmd" ] && [ -n "$dir" ] || { echo "uso: $0 start|stop DIR" >&2; exit 2; }

bindir=${CORVANE_PG_BINDIR:-}
if [ -z "$bindir" ]; then
  for d in /usr/lib/postgresql/*/bin; do
    [ -x "$d/initdb" ] && bindir=$d
  done
fi
[ -n "$bindir" ] && [ -x "$bindir/initdb" ] || { echo "pgcluster.sh: initdb não encontrado" >&2; exit 1; }

as_owner() {
  if [ "$(id -u)" -eq 0 ]; then
    runuser -u postgres -- "$@"
  else
    "$@"
  fi
}

case "$cmd" in
start)
  mkdir -p "$dir"
  [ ! -e "$dir/data" ] || { echo "pgcluster.sh: $dir já tem um servidor" >&2; exit 1; }
  [ "$(id -u)" -ne 0 ] || chown postgres "$dir"
  as_owner "$bindir/initdb" -D "$dir/data" -U corvane -A trust -E UTF8 --locale=C.UTF-8 -N >"$dir/initdb.log" 2>&1 \
    || { cat "$dir/initdb.log" >&2; exit 1; }
  # Another server may take the port between the look and the start: try a few.
  for _ in 1 2 3 4 5; do
    port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
    if as_owner "$bindir/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -t 30 \
         -o "-p $port -c listen_addresses=127.0.0.1 -k $dir -c fsync=off -c synchronous_commit=off -c full_page_writes=off -c max_connections=60 -c shared_buffers=32MB" \
         start >/dev/null 2>&1; then
      echo "postgresql://corvane@127.0.0.1:$port/postgres" >"$dir/address"
      exit 0
    fi
  done
  cat "$dir/server.log" >&2 || true
  exit 1
  ;;
stop)
  if [ -d "$dir/data" ]; then
    as_owner "$bindir/pg_ctl" -D "$dir/data" -m immediate -w stop >/dev/null 2>&1 || true
  fi
  # A run leaves hundreds of test databases: removing them takes a minute
  # of disk work that nobody needs to wait for.
  trash="$dir.removed.$$"
  if mv "$dir" "$trash" 2>/dev/null; then
    setsid rm -rf "$trash" </dev/null >/dev/null 2>&1 &
  else
    rm -rf "$dir"
  fi
  ;;
*)
  echo "uso: $0 start|stop DIR" >&2
  exit 2
  ;;
esac
