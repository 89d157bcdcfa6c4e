#!/usr/bin/env bash
# Builds the ARM64 modules as they ship, ZentrastKolvane.8li and ZentrastKolvaneHostCheck.8li for
# 64-bit Windows on ARM: optimised, stripped, 'wa64' in their property lists, with the project's
# own toolchain (scripts/arm64-toolchain.sh, set up first when needed). Checks each (machine ARM64,
# the three exports, system DLLs and the UCRT only) and prints their paths.
#   scripts/arm64-module.sh [--build DIR]     another build folder than build/arm64-release
set -euo pipefail
cd "$(dirname "$0")/.."
build=$PWD/build/arm64-release
while [ $# -gt 0 ]; do
  case "$1" in
    --build) build=$(realpath -m "${2:?arm64-module.sh: --build wants a folder}"); shift 2 ;;
    *) echo "usage: scripts/arm64-module.sh [--build DIR]" >&2; exit 2 ;;
  esac
done
scripts/arm64-toolchain.sh >/dev/null
cmake --preset arm64-release -B "$build" >/dev/null
# The build's progress goes with the other messages: the standard output is for what is made.
cmake --build "$build" -j2 --target ZentrastKolvane ZentrastKolvaneHostCheck >&2
for name in ZentrastKolvane ZentrastKolvaneHostCheck; do
  module=$build/bin/plugins/$name.8li
  scripts/check-module-binary.sh "$module" arm64 >&2
  if /usr/lib/llvm-19/bin/llvm-readobj --sections "$module" | grep -q 'Name: \.debug'; then
    echo "arm64-module.sh: $module still holds debug information" >&2
    exit 1
  fi
  echo "$module"
done
