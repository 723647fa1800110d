#!/usr/bin/env bash
# Installs what is missing, checks the sources, builds, starts a throw-away PostgreSQL server and
# runs, on SQLite and PostgreSQL:
#   1. the whole test suite (one CTest test per case);
#   2. the short harness runs: load (2 processes x 500 bookings), crash
#      (20 kills) and, on SQLite, I/O-error injection;
#   3. the whole suite again under AddressSanitizer and
#      UndefinedBehaviorSanitizer (build/asan), the harnesses too;
#   4. the list reader, background read, grid, footer and export tests
#      under ThreadSanitizer (build/tsan);
#   5. a 30-second replay of the fuzz targets (build/fuzz, clang).
# Extra arguments go to the first ctest run. SHOP_TEST_QUICK=1 stops after 2.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
# no SQL in a window, no engine compared outside the dialect
scripts/check-sources.sh
scripts/build.sh

pgdir=$(mktemp -d /tmp/shop-pg.XXXXXX)
chmod 755 "$pgdir"
cleanup() { scripts/pg-test-server.sh stop "$pgdir"; rm -rf "$pgdir"; }
trap cleanup EXIT
scripts/pg-test-server.sh start "$pgdir"
export SHOP_TEST_PG_HOST="$pgdir" SHOP_TEST_PG_PORT=5432 SHOP_TEST_PG_USER=postgres

jobs="$(nproc)"
step() { echo; echo "== $*"; }

harnesses() {
  local bin="$1"
  for engine in sqlite postgres; do
    "$bin/shop-harness" load --engine "$engine" --processes 2 --bookings 500
    # on PostgreSQL with a durable server of its own, killed too
    "$bin/shop-harness" crash --engine "$engine" --rounds 20
  done
  "$bin/shop-harness" powercut --rounds 50
  "$bin/shop-harness" iofail
  # faults the checks once missed, planted: each run passes only if caught
  for fault in wrong-amount refuse-valid; do
    "$bin/shop-harness" load --processes 1 --bookings 100 --plant "$fault"
  done
}

step "test suite"
ctest --preset dev -j "$jobs" "$@"
step "harnesses"
harnesses build/dev/bin
[ "${SHOP_TEST_QUICK:-0}" = 1 ] && exit 0

step "sanitizer build and test suite"
SHOP_PRESET=asan scripts/build.sh
ctest --preset asan -j "$jobs"
step "harnesses under the sanitizers"
(
  export ASAN_OPTIONS="suppressions=$PWD/scripts/sanitizers/asan.supp"
  export LSAN_OPTIONS="suppressions=$PWD/scripts/sanitizers/lsan.supp:print_suppressions=0"
  export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1:suppressions=$PWD/scripts/sanitizers/ubsan.supp"
  harnesses build/asan/bin
)

step "ThreadSanitizer build: list reader, background reads, grids, footer, export"
SHOP_PRESET=tsan scripts/build.sh test_store test_ui test_output
ctest --preset tsan -j "$jobs"

step "fuzz replay"
SHOP_PRESET=fuzz scripts/build.sh
fuzz/run.sh 30
