#!/usr/bin/env bash
# Seeded random requests against the module, as many as asked (the test suite sends 10,000): whole
# bridge runs in the stand-in host, the stand-in companion sending the requests and checking every
# reply. Prints the counts.
#   scripts/random-requests.sh [COUNT] [SEED]      default 1000000 requests, seed 20240611
set -euo pipefail
cd "$(dirname "$0")/.."
count=${1:-1000000}
seed=${2:-20240611}
scripts/ensure-packages.sh
cmake --preset mingw >/dev/null
cmake --build --preset mingw --target robustness_test
prefix="$PWD/build/wineprefix"
scripts/wine-prefix.sh "$prefix"
export ZK_RANDOM_COUNT="$count" ZK_RANDOM_SEED="$seed"
scripts/wine-run "$prefix" build/mingw/bin/robustness_test.exe \
  --gtest_filter=RandomRequests.EveryRequestGetsExactlyOneWellFormedReply 2>&1 | grep -v '^window: '
