#!/usr/bin/env bash
# The tests under emulation (part of scripts/test.sh): builds for 64-bit Windows on ARM what they
# need (preset arm64, build/arm64) with the project's own toolchain (scripts/arm64-toolchain.sh) and
# runs them with qemu and Debian's arm64 Wine (scripts/arm64-wine.sh) in a prefix of their own,
# build/wineprefix-arm64. Their names begin with "ARM64.".
#   arm64-test.sh [ctest args]
# Ends with one line of how long each step took.
set -euo pipefail
cd "$(dirname "$0")/.."
times=()
step_started=$SECONDS
took() { times+=("$1 $((SECONDS - step_started)) s"); step_started=$SECONDS; }

scripts/arm64-toolchain.sh >/dev/null
took toolchain
scripts/arm64-wine.sh >/dev/null
took "arm64 Wine"
# The x64 modules too, whose resources the ARM64 modules' are compared with (current after
# scripts/test.sh's x64 build).
cmake --preset mingw >/dev/null
cmake --build --preset mingw --target ZentrastKolvane ZentrastKolvaneHostCheck
cmake --preset arm64 >/dev/null
cmake --build --preset arm64
took build
prefix=$(sed -n 's/^ZK_WINEPREFIX:PATH=//p' build/arm64/CMakeCache.txt)
ZK_WINE_ROOT=$(sed -n 's/^ZK_WINE_ROOT:PATH=//p' build/arm64/CMakeCache.txt)
export ZK_WINE_ROOT
scripts/wine-prefix.sh "$prefix"
scripts/check-prefix.sh "$prefix"
took prefix

# One persistent server for the run, as scripts/test.sh has for the x64 tests.
scripts/wine-server.sh start "$prefix"
trap 'scripts/wine-server.sh stop "$prefix"' EXIT
status=0
# A selection of tests (ctest arguments) may hold none of the emulated ones.
no_tests=()
(($#)) && no_tests=(--no-tests=ignore)
ctest --preset arm64 "${no_tests[@]}" "$@" || status=$?
took "tests under emulation"
summary=$(IFS=,; echo "${times[*]}")
echo "arm64-test.sh: ${summary//,/, }"
exit $status
