#!/usr/bin/env bash
# Installs what is missing, builds, starts a throw-away PostgreSQL server and
# runs the whole test suite on SQLite and PostgreSQL; removes the server after.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh

pgdir=$(mktemp -d /tmp/shop-pg.XXXXXX)
chmod 755 "$pgdir"
cleanup() { scripts/pg-test-server.sh stop "$pgdir"; rm -rf "$pgdir"; }
trap cleanup EXIT
scripts/pg-test-server.sh start "$pgdir"
export SHOP_TEST_PG_HOST="$pgdir" SHOP_TEST_PG_PORT=5432 SHOP_TEST_PG_USER=postgres

ctest --preset dev -j "$(nproc)" "$@"
