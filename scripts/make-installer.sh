#!/usr/bin/env bash
# Makes the 64-bit installer of a built module with NSIS: OUTDIR/ZentrastKolvane-<version>-Setup.exe,
# <version> read from the module's own version resource. Prints the installer's path.
#   scripts/make-installer.sh [--sign [--password-file FILE]] MODULE OUTDIR
# --sign: the uninstaller inside and the installer itself are signed with scripts/sign-file.sh
# (ZK_SIGN_PFX, ZK_SIGN_TIMESTAMP_URL and the password file: see there); a signing that fails
# fails the installer. makensis is given the password file's name, never the password.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
usage="usage: make-installer.sh [--sign [--password-file FILE]] MODULE OUTDIR"
signing=()
if [ "${1:-}" = --sign ]; then
  shift
  # makensis runs it through the shell: each part quoted.
  sign_command="\"$here/scripts/sign-file.sh\""
  if [ "${1:-}" = --password-file ]; then
    password_file=${2:?$usage}
    [[ $password_file = /* ]] || password_file=$PWD/$password_file
    sign_command+=" --password-file \"$password_file\""
    shift 2
  fi
  signing=(-DSIGN="$sign_command")
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
