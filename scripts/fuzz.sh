#!/usr/bin/env bash
# Builds the native fuzz harnesses (clang's libFuzzer with address and undefined-behaviour
# sanitizers) for the code that reads what another process sends, and runs each for a while.
#   scripts/fuzz.sh [SECONDS]      default 30 seconds each (ZK_FUZZ_BUILD: another build folder)
#   ZK_FUZZ_RUNS=N scripts/fuzz.sh each for N inputs instead of a time
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-30}
missing=()
for pkg in clang-14 libclang-rt-14-dev; do
  dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' || missing+=("$pkg")
done
if ((${#missing[@]})); then
  apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" >/dev/null
fi

out=${ZK_FUZZ_BUILD:-build/fuzz}
mkdir -p "$out"
# -O2: the sanitizers' checks stay whole, and the message harness runs about twice as many inputs a
# second as at -O1 (its time goes to the reader's work per byte, which the optimiser shortens).
flags=(-std=c++17 -g -O2 -fsanitize=fuzzer,address,undefined -Ihostapi)

clang++-14 "${flags[@]}" -Iplugin/bridge -Iplugin/ground \
  plugin/bridge/fuzz/MessageReaderFuzz.cpp plugin/bridge/ByteChannel.cpp plugin/bridge/MessageFraming.cpp plugin/bridge/WireText.cpp plugin/ground/InnerText.cpp \
  plugin/bridge/RequestNumbers.cpp plugin/bridge/ImageRequestFields.cpp plugin/bridge/FieldLists.cpp -o "$out/message-reader-fuzz"
# The host's type headers include <windows.h> only to keep the system's macros ahead of the suites;
# the parsers use none of the system's types, so a native build gets an empty one.
mkdir -p "$out/native-include"
: >"$out/native-include/windows.h"
clang++-14 "${flags[@]}" -I"$out/native-include" -Istandins/host/plugins -Istandins/host/text \
  standins/host/fuzz/ResourceParserFuzz.cpp standins/host/plugins/PiplParser.cpp standins/host/plugins/AeteParser.cpp \
  standins/host/plugins/ByteReader.cpp standins/host/text/FourCCText.cpp -o "$out/resource-parser-fuzz"

if [[ -n ${ZK_FUZZ_RUNS:-} ]]; then
  limit=(-runs="$ZK_FUZZ_RUNS") length="$ZK_FUZZ_RUNS inputs"
else
  limit=(-max_total_time="$seconds") length="$seconds s"
fi
for harness in message-reader-fuzz resource-parser-fuzz; do
  mkdir -p "$out/$harness-corpus"
  echo "== $harness, $length"
  "$out/$harness" "${limit[@]}" -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$out/" "$out/$harness-corpus" 2>&1 |
    grep -E 'stat::number_of_executed_units|stat::average_exec_per_sec|stat::slowest_unit_time_sec|Done|ERROR|SUMMARY' || true
done
