#!/usr/bin/env bash
# Replays the seed corpus of every fuzz target and fuzzes on: SECONDS in
# total (default 30), shared evenly. New inputs go to a scratch folder, so
# the committed corpus stays as it is. A crash or failed check leaves its
# input in build/fuzz/findings/<target>/ and makes the run fail.
# Build first: SHOP_PRESET=fuzz scripts/build.sh
set -euo pipefail
cd "$(dirname "$0")/.."
total="${1:-30}"
targets=(ini money typed_number code128 search_code connection_string xlsx)
each=$(( total / ${#targets[@]} ))
[ "$each" -lt 1 ] && each=1
scratch=$(mktemp -d /tmp/shop-fuzz.XXXXXX)
trap 'rm -rf "$scratch"' EXIT
export ASAN_OPTIONS="detect_leaks=0:${ASAN_OPTIONS:-}"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1:${UBSAN_OPTIONS:-}"
status=0
for t in "${targets[@]}"; do
  mkdir -p "$scratch/$t" "build/fuzz/findings/$t"
  if ! build/fuzz/bin/fuzz_"$t" -max_total_time="$each" -timeout=10 -rss_limit_mb=2048 \
      -print_final_stats=1 -artifact_prefix="build/fuzz/findings/$t/" \
      "$scratch/$t" "fuzz/corpus/$t" >"$scratch/$t.log" 2>&1; then
    echo "fuzz_$t FAILED:"; tail -n 40 "$scratch/$t.log"; status=1
  else
    runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$scratch/$t.log" | grep -o '[0-9]*$' || true)
    echo "fuzz_$t: ${runs:-?} executions in ${each} s, no finding"
  fi
done
exit $status
