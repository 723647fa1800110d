#!/usr/bin/env bash
# start DIR | stop DIR: a throw-away PostgreSQL cluster in DIR that listens
# only on a Unix socket in DIR. initdb and the server refuse to run as root,
# so as root they run as the postgres user.
set -euo pipefail
action="$1"
dir="$2"
bin=$(ls -d /usr/lib/postgresql/*/bin | sort -V | tail -n 1)
as_owner=()
if [ "$(id -u)" -eq 0 ]; then
  as_owner=(runuser -u postgres --)
  chown postgres "$dir"
fi
case "$action" in
  start)
    "${as_owner[@]}" "$bin/initdb" -D "$dir/data" -U postgres -A trust -E UTF8 --locale=C.UTF-8 >"$dir/initdb.log" 2>&1 \
      || { cat "$dir/initdb.log"; exit 1; }
    "${as_owner[@]}" "$bin/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -t 60 \
      -o "-c listen_addresses='' -k $dir -p 5432 -c fsync=off -c full_page_writes=off -c synchronous_commit=off -c max_connections=200" \
      start >/dev/null || { cat "$dir/server.log"; exit 1; }
    ;;
  stop)
    "${as_owner[@]}" "$bin/pg_ctl" -D "$dir/data" -m immediate stop >/dev/null 2>&1 || true
    ;;
esac
