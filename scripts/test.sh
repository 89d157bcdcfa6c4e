#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test under Wine, in a prefix of the
# tests' own (build/wineprefix-tests): what the tests install and remove never touches the main
# job's prefix (build/wineprefix). Then the tests under emulation: the ARM64 build of what they need,
# run with qemu and Debian's arm64 Wine (scripts/arm64-test.sh; ZK_ARM64_TESTS=0 leaves them out).
#   test.sh [ctest args]     the arguments go to both ctest runs
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/ensure-packages.sh
cmake --preset mingw >/dev/null
cmake --build --preset mingw
# The prefix CMake runs the tests in (the preset's ZK_WINEPREFIX).
prefix=$(sed -n 's/^ZK_WINEPREFIX:PATH=//p' build/mingw/CMakeCache.txt)
scripts/wine-prefix.sh "$prefix"
scripts/check-prefix.sh "$prefix"

# One persistent server with the prefix's services started apart from ctest, for the whole run:
# otherwise every test waits for the services to exit (slow), or inherits ctest's pipes for ever
# (hang), and a test started while a lingering server shuts down can fail to start at all.
scripts/wine-server.sh start "$prefix"
trap 'scripts/wine-server.sh stop "$prefix"' EXIT
status=0
ctest --preset mingw "$@" || status=$?
scripts/wine-server.sh stop "$prefix"

if [ "${ZK_ARM64_TESTS:-1}" != 0 ]; then
  scripts/arm64-test.sh "$@" || status=$?
fi
exit $status
