#!/bin/sh
# A throwaway PostgreSQL server for tests and benchmarks, in a folder of its own and reachable only
# through a Unix socket in that folder.
#   sh scripts/throwaway-postgres.sh start DIR   makes DIR, starts the server, prints a libpq
#                                                 connection string on standard output
#   sh scripts/throwaway-postgres.sh stop DIR    stops it (DIR is left for the caller to remove)
# initdb refuses to run as root, so as root the server runs as the user "nobody" (and the folder
# DIR is made in is opened for it to pass through).
# Exits 77 when no PostgreSQL server programs are installed.
set -eu

command=${1:-}
dir=${2:-}
if [ -z "$command" ] || [ -z "$dir" ]; then
  echo "usage: $0 start|stop DIR" >&2
  exit 2
fi

bin=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1)
if [ -z "$bin" ] || [ ! -x "$bin/initdb" ]; then
  echo "throwaway-postgres: no PostgreSQL server found under /usr/lib/postgresql" >&2
  exit 77
fi

as_owner() {
  if [ "$(id -u)" -eq 0 ]; then runuser -u nobody -- "$@"; else "$@"; fi
}

case "$command" in
  start)
    mkdir -p "$dir"
    if [ "$(id -u)" -eq 0 ]; then
      chown nobody "$dir"
      # "nobody" must be able to pass through the folder DIR was made in (mktemp makes it 0700).
      chmod o+x "$(dirname "$dir")"
    fi
    if ! as_owner "$bin/initdb" -D "$dir/data" -U scores -A trust -E UTF8 --no-locale \
      >"$dir/initdb.log" 2>&1; then
      cat "$dir/initdb.log" >&2
      exit 1
    fi
    # No TCP at all; a commit does not wait for the disk (like SQLite's synchronous=NORMAL in the
    # write-ahead log): a crash may lose the last moments, never the database.
    if ! as_owner "$bin/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -t 30 \
      -o "-k $dir -c listen_addresses= -c synchronous_commit=off -c max_connections=200" \
      start >/dev/null; then
      cat "$dir/server.log" >&2
      exit 1
    fi
    echo "host=$dir dbname=postgres user=scores"
    ;;
  stop)
    as_owner "$bin/pg_ctl" -D "$dir/data" -m fast -w -t 30 stop >/dev/null
    ;;
  *)
    echo "usage: $0 start|stop DIR" >&2
    exit 2
    ;;
esac
