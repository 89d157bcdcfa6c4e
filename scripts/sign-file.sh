#!/usr/bin/env bash
# Signs one Windows program or module in place with Authenticode (SHA-256):
#   scripts/sign-file.sh [--password-file FILE] FILE
# ZK_SIGN_PFX names a PKCS#12 bundle with the code-signing certificate and its key; the bundle's
# password, when it has one, is read from the file given with --password-file (a file only its
# owner can read, or a descriptor such as <(...)) and reaches osslsigncode alone, never a command
# line or an environment. ZK_SIGN_TIMESTAMP_URL, when set, names an RFC 3161 time-stamp server: a
# time-stamped signature stays valid after the certificate has expired.
# The signed file is written beside FILE and then takes its place in one rename: FILE is either
# the unsigned file or the signed one, never a part of either.
# scripts/package.sh calls it for the modules, and makensis for the uninstaller and the installer.
set -euo pipefail
usage="usage: sign-file.sh [--password-file FILE] FILE"
password_file=""
if [ "${1:-}" = --password-file ]; then
  password_file=${2:?$usage}
  shift 2
fi
file=${1:?$usage}
: "${ZK_SIGN_PFX:?sign-file.sh: ZK_SIGN_PFX must name the PKCS#12 bundle to sign with}"
[ -r "$ZK_SIGN_PFX" ] || { echo "sign-file.sh: cannot read the PKCS#12 bundle $ZK_SIGN_PFX" >&2; exit 1; }
[ -f "$file" ] || { echo "sign-file.sh: no file $file" >&2; exit 1; }

# A folder of its own beside FILE (the same file system, so that the rename is one step): osslsigncode
# writes only files that are not there yet.
work=$(mktemp -d "$(dirname "$file")/.signing.XXXXXX")
trap 'rm -rf "$work"' EXIT
signed=$work/signed
signing=(osslsigncode sign -pkcs12 "$ZK_SIGN_PFX" -h sha256 -n "Zentrast Kolvane Plug-In" -in "$file" -out "$signed")
if [ -n "$password_file" ]; then signing+=(-readpass "$password_file"); fi
if [ -n "${ZK_SIGN_TIMESTAMP_URL:-}" ]; then signing+=(-ts "$ZK_SIGN_TIMESTAMP_URL"); fi
# osslsigncode's own "Succeeded" goes with the other messages, not into a caller's output.
"${signing[@]}" >&2
[ -s "$signed" ] || { echo "sign-file.sh: osslsigncode wrote no signed $file" >&2; exit 1; }
# The signed file takes the mode of the unsigned one, then its place.
chmod --reference="$file" "$signed"
mv -f "$signed" "$file"
