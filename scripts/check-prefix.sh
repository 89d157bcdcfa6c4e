#!/usr/bin/env bash
# Fails when a user folder of the prefix still points out of it (into a real home folder).
set -euo pipefail
prefix=${1:?usage: check-prefix.sh PREFIX}
bad=$(find "$prefix/drive_c/users" -maxdepth 2 -type l)
if [ -n "$bad" ]; then
  echo "Wine prefix $prefix has user folders linked out of it:" >&2
  echo "$bad" >&2
  exit 1
fi
