#!/usr/bin/env bash
# Creates the project's own Wine prefix (never the user's default one) when it is missing.
#   wine-prefix.sh PREFIX            headless: Wine's null graphics driver
#   ZK_SHOW_WINDOWS=1 wine-prefix.sh PREFIX   windows on $DISPLAY (x11 driver)
#   ZK_WINE_ROOT=ROOT wine-prefix.sh PREFIX     a prefix of the arm64 Wine in ROOT (scripts/arm64-wine.sh)
# The user folders (Documents, Desktop, ...) are real folders inside the prefix: wineboot
# would otherwise link them into the real home folder, and tests write into Documents.
set -euo pipefail
prefix=${1:?usage: wine-prefix.sh PREFIX}
here=$(cd "$(dirname "$0")" && pwd)
. "$here/lib/wine-tools.sh"
# A prefix made by an older version of this script, without what check-prefix.sh asks for, is made again.
if [ -f "$prefix/.zk-ready" ]; then
  "$here/check-prefix.sh" "$prefix" >/dev/null 2>&1 && exit 0
  echo "Wine prefix $prefix is not set up as this script sets it up now: making it again"
  WINEPREFIX=$(cd "$prefix" && pwd) "${wine_server_cmd[@]}" -k >/dev/null 2>&1 || true
fi

rm -rf "$prefix"
mkdir -p "$prefix"
prefix=$(cd "$prefix" && pwd)
scratch_home="$prefix.home"
mkdir -p "$scratch_home"

export WINEPREFIX="$prefix" WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
echo "Creating Wine prefix $prefix"
if [ "${ZK_SHOW_WINDOWS:-0}" = 1 ]; then
  HOME="$scratch_home" "${wine_cmd[@]}" wineboot -i >/dev/null 2>&1
else
  # The null driver must be in the registry before the prefix's desktop process starts.
  (unset DISPLAY; HOME="$scratch_home" "${wine_cmd[@]}" wineboot -i >/dev/null 2>&1)
  "${wine_server_cmd[@]}" -w
  (unset DISPLAY; "${wine_cmd[@]}" reg add 'HKCU\Software\Wine\Drivers' /v Graphics /t REG_SZ /d null /f >/dev/null 2>&1)
fi
# No debugger for a program that crashes. Wine would start winedbg, which waits for a person (or,
# told to show no dialog, ends the crashed program with status 0: a crash that passes). A debugger
# that cannot be started ("false") leaves the program to end at once with its exception's status;
# Wine says on standard error that it could not start one, and wine-run says the program crashed.
(unset DISPLAY; "${wine_cmd[@]}" reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger /t REG_SZ \
  /d false /f >/dev/null 2>&1)
"${wine_server_cmd[@]}" -w

# Under qemu, Wine sees the arm64 root as "/", so its drive z: cannot reach this checkout: programs
# and their working folders are reached through a drive of their own.
if [ -n "${ZK_WINE_ROOT:-}" ]; then
  ln -sfn "$(cd "$here/.." && pwd)" "$prefix/dosdevices/d:"
fi

user_dir=$(find "$prefix/drive_c/users" -mindepth 1 -maxdepth 1 -type d ! -name Public | head -n 1)
for f in "$user_dir"/*; do
  if [ -L "$f" ]; then rm "$f"; mkdir -p "$f"; fi
done
mkdir -p "$user_dir/Documents" "$user_dir/Temp"
rm -rf "$scratch_home"
"$here/check-prefix.sh" "$prefix"
touch "$prefix/.zk-ready"
