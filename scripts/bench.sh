#!/bin/sh
# Builds the benchmarks in Release (build-bench/, tests left out) and runs them, each with
# repetitions; results go to bench-results/ as Google Benchmark JSON, the walking commands'
# plot to docs/commands-bench.png. Compare only numbers of one run: the ratios between a
# measurement and its baseline are what the benchmarks are for.
#   scripts/bench.sh                 every benchmark
#   scripts/bench.sh commands_bench  one of them (game_access_bench, commands_bench,
#                                    world_file_bench, rcon_round_trip_bench, preview_bench,
#                                    journal_bench)
set -e
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DORVANE_BUILD_TESTS=OFF >/dev/null
cmake --build build-bench
mkdir -p bench-results docs
benches=${*:-game_access_bench commands_bench world_file_bench rcon_round_trip_bench preview_bench journal_bench}
for b in $benches; do
  echo "== $b"
  build-bench/bench/$b --benchmark_repetitions=${ORVANE_BENCH_REPETITIONS:-5} \
    --benchmark_report_aggregates_only=true --benchmark_out_format=json \
    --benchmark_out=bench-results/$b.json
done
if [ -f bench-results/commands_bench.json ]; then
  /usr/bin/python3 scripts/bench-plot.py bench-results/commands_bench.json docs/commands-bench.png
  echo "plot: docs/commands-bench.png"
fi
