#!/usr/bin/env bash
# start DIR [durable] [tcp] | stop DIR: a throw-away PostgreSQL cluster in
# DIR that listens on a Unix socket in DIR (port SHOP_PG_PORT, default 5432).
#   durable: fsync, full_page_writes and synchronous_commit as shipped (the
#            fault tests kill and restart it); otherwise all three off.
#   tcp:     also listens on 127.0.0.1 with TLS, under a self-signed
#            certificate made here (DIR/server.crt, the CA file of the tests).
#   plain:   also listens on 127.0.0.1, without TLS (for a test's proxy).
# initdb and the server refuse to run as root, so as root they run as the
# postgres user.
set -euo pipefail
action="$1"
dir="$2"
shift 2
durable=0
tcp=0
plain=0
for option in "$@"; do
  case "$option" in
    durable) durable=1 ;;
    tcp) tcp=1 ;;
    plain) plain=1 ;;
    *) echo "unknown option $option" >&2; exit 2 ;;
  esac
done
port="${SHOP_PG_PORT:-5432}"
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
    settings="-c listen_addresses='' -k $dir -p $port -c max_connections=200"
    if [ "$durable" = 0 ]; then
      settings="$settings -c fsync=off -c full_page_writes=off -c synchronous_commit=off"
    fi
    if [ "$tcp" = 1 ]; then
      openssl req -new -x509 -days 2 -nodes -subj "/CN=127.0.0.1" \
        -addext "subjectAltName=IP:127.0.0.1" \
        -keyout "$dir/server.key" -out "$dir/server.crt" >/dev/null 2>&1
      chmod 600 "$dir/server.key"
      [ "$(id -u)" -eq 0 ] && chown postgres "$dir/server.key" "$dir/server.crt"
      chmod 644 "$dir/server.crt"
      settings="${settings/listen_addresses=''/listen_addresses='127.0.0.1'}"
      settings="$settings -c ssl=on -c ssl_cert_file=$dir/server.crt -c ssl_key_file=$dir/server.key"
    fi
    if [ "$plain" = 1 ]; then
      settings="${settings/listen_addresses=''/listen_addresses='127.0.0.1'}"
    fi
    "${as_owner[@]}" "$bin/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -t 60 \
      -o "$settings" start >/dev/null || { cat "$dir/server.log"; exit 1; }
    echo "$settings" >"$dir/settings"
    ;;
  restart)
    # the server killed (as by a crash) and started again on the same data
    "${as_owner[@]}" "$bin/pg_ctl" -D "$dir/data" -m immediate stop >/dev/null 2>&1 || true
    "${as_owner[@]}" "$bin/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -t 60 \
      -o "$(cat "$dir/settings")" start >/dev/null || { cat "$dir/server.log"; exit 1; }
    ;;
  stop)
    "${as_owner[@]}" "$bin/pg_ctl" -D "$dir/data" -m immediate stop >/dev/null 2>&1 || true
    ;;
esac
