#!/usr/bin/env bash
# Makes the 64-bit installer of a built module with NSIS: OUTDIR/ZentrastKolvane-<version>-Setup.exe,
# <version> read from the module's own version resource. Prints the installer's path.
#   scripts/make-installer.sh MODULE OUTDIR
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
module=$(realpath "${1:?usage: make-installer.sh MODULE OUTDIR}")
mkdir -p "${2:?usage: make-installer.sh MODULE OUTDIR}"
outdir=$(cd "$2" && pwd)
version=$("$here/scripts/version.sh" "$module")
setup="$outdir/ZentrastKolvane-$version-Setup.exe"
# Warnings are errors here as in the compilers; makensis's messages go to stderr, the path to stdout.
makensis -V2 -WX -DVERSION="$version" -DMODULE="$module" -DOUTFILE="$setup" \
  "$here/packaging/ZentrastKolvane.nsi" >&2
echo "$setup"
