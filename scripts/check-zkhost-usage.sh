#!/usr/bin/env bash
# Checks that `zkhost.exe --help` exits 0 and prints exactly the usage the README shows (the
# indented block after the line "`zkhost.exe --help` prints:"), so the two cannot drift apart.
#   check-zkhost-usage.sh PREFIX ZKHOST.EXE README.md
set -euo pipefail
prefix=${1:?usage: check-zkhost-usage.sh PREFIX ZKHOST.EXE README.md}
program=${2:?usage: check-zkhost-usage.sh PREFIX ZKHOST.EXE README.md}
readme=${3:?usage: check-zkhost-usage.sh PREFIX ZKHOST.EXE README.md}
here=$(cd "$(dirname "$0")" && pwd)

status=0
printed=$("$here/wine-run" "$prefix" "$program" --help | tr -d '\r') || status=$?
if [ "$status" -ne 0 ]; then
  echo "zkhost.exe --help exited with $status" >&2
  exit 1
fi
shown=$(awk '
  /^`zkhost.exe --help` prints:/ { block = 1; next }
  block && /^    / { sub(/^    /, ""); print; seen = 1; next }
  block && seen { exit }' "$readme")
if [ -z "$shown" ]; then
  echo "$readme has no block after the line \"\`zkhost.exe --help\` prints:\"" >&2
  exit 1
fi
if [ "$printed" != "$shown" ]; then
  echo "zkhost.exe --help and $readme differ (< program, > README):" >&2
  diff <(printf '%s\n' "$printed") <(printf '%s\n' "$shown") >&2 || true
  exit 1
fi
echo "zkhost.exe --help prints the README's usage"
