#!/usr/bin/env bash
# Fails when a user folder of the prefix still points out of it (into a real home folder), or when a
# program that crashes in it would wait for a debugger instead of ending at once (wine-prefix.sh);
# for the arm64 Wine (ZK_WINE_ROOT set), also when its drive d: is not this checkout.
set -euo pipefail
prefix=${1:?usage: check-prefix.sh PREFIX}
if [ -n "${ZK_WINE_ROOT:-}" ]; then
  checkout=$(cd "$(dirname "$0")/.." && pwd)
  drive=$(readlink "$prefix/dosdevices/d:" 2>/dev/null || true)
  if [ "$drive" != "$checkout" ]; then
    echo "Wine prefix $prefix has drive d: at ${drive:-nothing}, not at this checkout ($checkout)" >&2
    exit 1
  fi
fi
bad=$(find "$prefix/drive_c/users" -maxdepth 2 -type l)
if [ -n "$bad" ]; then
  echo "Wine prefix $prefix has user folders linked out of it:" >&2
  echo "$bad" >&2
  exit 1
fi
# Read from the registry's file (written when the prefix's Wine server last ended or saved).
debugger=$(awk -v key='[Software\\\\Microsoft\\\\Windows NT\\\\CurrentVersion\\\\AeDebug]' '
  index($0, key) == 1 { inside = 1; next }
  /^\[/ { inside = 0 }
  inside && index($0, "\"Debugger\"=") == 1 { print substr($0, 12) }' "$prefix/system.reg" 2>/dev/null || true)
if [ "$debugger" != '"false"' ]; then
  echo "Wine prefix $prefix starts a debugger for a program that crashes (AeDebug Debugger=${debugger:-none}):" >&2
  echo "a crashed test would wait for it until its time-out; wine-prefix.sh sets it to \"false\"" >&2
  exit 1
fi
