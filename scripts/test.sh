#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test under Wine in the project's prefix.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/ensure-packages.sh
cmake --preset mingw >/dev/null
cmake --build --preset mingw
prefix="$PWD/build/wineprefix"
scripts/wine-prefix.sh "$prefix"
scripts/check-prefix.sh "$prefix"

export WINEPREFIX="$prefix" WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY
# A persistent server with the prefix's services started apart from ctest: otherwise every test
# waits for the services to exit (slow), or inherits ctest's pipes for ever (hang).
wineserver -p || true  # already up (another run, or a session) is fine
wine wineboot </dev/null >/dev/null 2>&1
trap 'wineserver -k >/dev/null 2>&1 || true' EXIT
ctest --preset mingw "$@"
