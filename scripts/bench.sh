#!/usr/bin/env bash
# Builds the benchmarks (release preset), runs each beside its bare floor and
# writes docs/PERFORMANCE.md. The shop is generated once per scale and kept
# in build/release/bench-data:
#   scripts/bench.sh            scale 0.01 (10 000 copies, 100 000 rent records)
#   SHOP_BENCH_SCALE=1 scripts/bench.sh   the full shop (about 15 minutes to make)
set -euo pipefail
cd "$(dirname "$0")/.."
scale="${SHOP_BENCH_SCALE:-0.01}"
cmake --preset release >/dev/null
cmake --build --preset release --target bench_shop bench_rental bench_output
out=build/release/bench-results
mkdir -p "$out" build/release/bench-data
export SHOP_BENCH_SCALE="$scale" SHOP_BENCH_DATA="$PWD/build/release/bench-data" QT_QPA_PLATFORM=offscreen
# one process per program; the peak memory counter is the process's high-water mark
build/release/bin/bench_shop --benchmark_format=json --benchmark_out="$out/shop.json" \
  --benchmark_out_format=json >/dev/null
build/release/bin/bench_rental --benchmark_out="$out/rental.json" --benchmark_out_format=json >/dev/null
build/release/bin/bench_output --benchmark_out="$out/output.json" --benchmark_out_format=json >/dev/null
python3 bench/report.py "$scale" "$out"/shop.json "$out"/rental.json "$out"/output.json >docs/PERFORMANCE.md
echo "docs/PERFORMANCE.md written (scale $scale)"
