#!/usr/bin/env bash
# The second compiler: builds every program of the project (module, stand-ins, tests, bench) with
# clang for the same target, warnings as errors, in build/clang. Nothing is run: the tests run on
# the GCC build (scripts/test.sh). Part of .ci/run.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/ensure-packages.sh clang
cmake --preset clang >/dev/null
cmake --build --preset clang
