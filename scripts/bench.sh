#!/usr/bin/env bash
# Builds the benchmarks (release preset), runs each beside its bare floor and
# writes docs/PERFORMANCE.md. The shop is generated once per scale and kept
# in build/release/bench-data:
#   scripts/bench.sh            scale 0.01 (10 000 copies, 100 000 rent records)
#   SHOP_BENCH_SCALE=1 scripts/bench.sh   the full shop (about 2 minutes to make, 4.5 GB)
set -euo pipefail
cd "$(dirname "$0")/.."
# written as the benchmark names its file (1.0 -> 1, 0.10 -> 0.1)
scale=$(python3 -c "import sys; print('%g' % float(sys.argv[1]))" "${SHOP_BENCH_SCALE:-0.01}")
cmake --preset release >/dev/null
cmake --build --preset release --target bench_shop bench_rental bench_output shop-admin
out=build/release/bench-results
data="$PWD/build/release/bench-data"
mkdir -p "$out" "$data"
# the shop, made by the program's own command and timed
shop="$data/shop-$scale.db"
if [ ! -f "$shop" ]; then
  build/release/bin/shop-admin init "Provider=SQLite;Data Source=$shop" >/dev/null
  start=$(date +%s.%N)
  build/release/bin/shop-admin sample "Provider=SQLite;Data Source=$shop" --scale "$scale" >/dev/null
  python3 -c "import sys; print(float(sys.argv[1]) - float(sys.argv[2]))" "$(date +%s.%N)" "$start" \
    >"$out/generation-$scale.txt"
fi
export SHOP_BENCH_SCALE="$scale" SHOP_BENCH_DATA="$data" QT_QPA_PLATFORM=offscreen
# one process per program; the peak memory counter is the process's high-water mark
build/release/bin/bench_shop --benchmark_format=json --benchmark_out="$out/shop.json" \
  --benchmark_out_format=json >/dev/null
build/release/bin/bench_rental --benchmark_out="$out/rental.json" --benchmark_out_format=json >/dev/null
build/release/bin/bench_output --benchmark_out="$out/output.json" --benchmark_out_format=json >/dev/null
python3 bench/report.py "$scale" "$out/generation-$scale.txt" "$out"/shop.json "$out"/rental.json "$out"/output.json >docs/PERFORMANCE.md
echo "docs/PERFORMANCE.md written (scale $scale)"
