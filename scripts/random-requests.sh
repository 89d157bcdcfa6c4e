#!/usr/bin/env bash
# Seeded random requests against the module, as many as asked (the test suite sends 10,000): whole
# bridge runs in the stand-in host, the stand-in companion sending the requests and checking the
# reply to every message. Shows progress every 10,000 requests, then the counts, and says whether
# requests plus framing breaks add up to the messages sent.
#   scripts/random-requests.sh [COUNT] [SEED]      default 100000 requests (a few minutes), seed 20240611
#   scripts/random-requests.sh 1000000 777         a million (half an hour to an hour and a half)
# Exits 0 when every reply was well-formed and the counts add up, 1 otherwise.
set -euo pipefail
cd "$(dirname "$0")/.."
count=${1:-100000}
seed=${2:-20240611}
scripts/ensure-packages.sh
cmake --preset mingw >/dev/null
cmake --build --preset mingw --target robustness_test
# A prefix of its own: the runs install and remove the companion as the tests do, which must touch
# neither the main job's prefix nor a test run going on at the same time.
prefix="$PWD/build/wineprefix-random"
# One run at a time: a second one would end the first one's Wine server when it starts its own.
mkdir -p build
exec 9>"$prefix.lock"
flock -n 9 || { echo "random-requests.sh: another run is using $prefix" >&2; exit 1; }
scripts/wine-prefix.sh "$prefix"
scripts/wine-server.sh start "$prefix"
trap 'scripts/wine-server.sh stop "$prefix"' EXIT

# Everything the runs print (the host's windows, each companion's transcript) goes to the log; the
# terminal gets the progress and the counts.
log="$PWD/build/random-requests.log"
started=$SECONDS
export ZK_RANDOM_COUNT="$count" ZK_RANDOM_SEED="$seed"
echo "Sending $count random requests with seed $seed (everything the runs print: $log)"
set +e
scripts/wine-run "$prefix" build/mingw/bin/robustness_test.exe \
  --gtest_filter=RandomRequests.EveryRequestGetsExactlyOneWellFormedReply 2>&1 | tee "$log" |
  grep --line-buffered -E '^(random requests|  requests |  replies )'
status=${PIPESTATUS[0]}
set -e
elapsed=$((SECONDS - started))
printf 'wall time of the script: %d h %02d min %02d s\n' $((elapsed / 3600)) $((elapsed / 60 % 60)) $((elapsed % 60))
if [ "$status" -ne 0 ]; then
  echo "FAILED (status $status): what the checks said, from $log:"
  grep -E -A3 ': Failure$' "$log" | head -60
  exit 1
fi
