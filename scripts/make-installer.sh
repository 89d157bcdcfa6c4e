#!/usr/bin/env bash
# Makes the 64-bit installer of a built module with NSIS: OUTDIR/ZentrastKolvane-<version>-Setup.exe,
# <version> read from the module's own version resource. Prints the installer's path.
#   scripts/make-installer.sh [--sign] MODULE OUTDIR
# --sign: the uninstaller inside and the installer itself are signed with scripts/sign-file.sh
# (ZK_SIGN_PFX, ZK_SIGN_PASSWORD, ZK_SIGN_TIMESTAMP_URL: see there).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
usage="usage: make-installer.sh [--sign] MODULE OUTDIR"
signing=()
if [ "${1:-}" = --sign ]; then
  signing=(-DSIGN="$here/scripts/sign-file.sh")
  shift
fi
module=$(realpath "${1:?$usage}")
mkdir -p "${2:?$usage}"
outdir=$(cd "$2" && pwd)
version=$("$here/scripts/version.sh" "$module")
setup="$outdir/ZentrastKolvane-$version-Setup.exe"
# Warnings are errors here as in the compilers; makensis's messages go to stderr, the path to stdout.
makensis -V2 -WX -DVERSION="$version" -DMODULE="$module" -DOUTFILE="$setup" "${signing[@]}" \
  "$here/packaging/ZentrastKolvane.nsi" >&2
echo "$setup"
