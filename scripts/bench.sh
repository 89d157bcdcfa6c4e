#!/usr/bin/env bash
# How fast the bridge is: builds an optimised module, the bench host and the benchmarking companion
# in build/bench-release, then has the bench host load the module through the stand-in host and run
# the benchmark's scenarios (small requests with 1 to 1000 documents open, ReadRaw and SendImage at
# about 1, 12, 24, 50, 100 and 400 megapixels, the log's cost per entry) against the limits of the
# design measured in the same run. Prints the tables and the targets; writes build/bench/bench.csv
# and build/bench/bench.md, and draws the plot build/bench/bench-images.png from bench.csv
# (matplotlib). The full run takes 10-20 minutes and about 5 GB of memory at its 400-megapixel rows.
#   ZK_BENCH_PREFIX=/abs/prefix scripts/bench.sh   runs in another Wine prefix (default build/wineprefix)
#   ZK_BENCH_OUTPUT=/abs/folder scripts/bench.sh   writes the files there (default build/bench)
#   scripts/bench.sh quick                          fewer repetitions and only the two smaller images
# Not part of scripts/test.sh: the figures are printed and judged, never asserted.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/ensure-packages.sh python3-matplotlib
prefix=${ZK_BENCH_PREFIX:-$PWD/build/wineprefix}
build=${ZK_BENCH_BUILD:-$PWD/build/bench-release}
cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64-x86_64.cmake" \
  -DCMAKE_BUILD_TYPE="${ZK_BENCH_BUILD_TYPE:-Release}" \
  -DZK_WINEPREFIX="$prefix" >/dev/null
cmake --build "$build" -j2 --target bench_host
scripts/wine-prefix.sh "$prefix"
output=${ZK_BENCH_OUTPUT:-$PWD/build/bench}
mkdir -p "$output"
winpath() { echo "Z:$(echo "$1" | tr / '\\')"; }
status=0
scripts/wine-run "$prefix" "$build/bin/bench_host.exe" "$(winpath "$build/bin/plugins")" \
  "$(winpath "$build/bin/bench-companion")" "$(winpath "$output")" "$@" | tr -d '\r' || status=$?
# Whatever was measured is drawn, also when a measurement failed (the status says so). Debian's own
# python3, the one python3-matplotlib is installed for, whatever python3 comes first on PATH.
/usr/bin/python3 bench/plot-bench.py "$output/bench.csv" "$output/bench-images.png"
exit "$status"
