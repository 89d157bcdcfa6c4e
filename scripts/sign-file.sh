#!/usr/bin/env bash
# Signs one Windows program or module in place with Authenticode (SHA-256):
#   scripts/sign-file.sh FILE
# ZK_SIGN_PFX names a PKCS#12 bundle with the code-signing certificate and its key, ZK_SIGN_PASSWORD
# holds its password (left unset or empty for a bundle without one). The password reaches
# osslsigncode through a pipe, never on a command line that other users can see.
# ZK_SIGN_TIMESTAMP_URL, when set, names an RFC 3161 time-stamp server: a time-stamped signature
# stays valid after the certificate has expired.
# scripts/package.sh calls it for the module, and makensis for the uninstaller and the installer.
set -euo pipefail
file=${1:?usage: sign-file.sh FILE}
: "${ZK_SIGN_PFX:?sign-file.sh: ZK_SIGN_PFX must name the PKCS#12 bundle to sign with}"
[ -r "$ZK_SIGN_PFX" ] || { echo "sign-file.sh: cannot read the PKCS#12 bundle $ZK_SIGN_PFX" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
signing=(osslsigncode sign -pkcs12 "$ZK_SIGN_PFX" -h sha256 -n "Zentrast Kolvane Plug-In" -in "$file" -out "$work/signed")
if [ -n "${ZK_SIGN_TIMESTAMP_URL:-}" ]; then signing+=(-ts "$ZK_SIGN_TIMESTAMP_URL"); fi
# osslsigncode's own "Succeeded" goes with the other messages, not into a caller's output.
if [ -n "${ZK_SIGN_PASSWORD:-}" ]; then
  printf '%s' "$ZK_SIGN_PASSWORD" | "${signing[@]}" -readpass /dev/stdin >&2
else
  "${signing[@]}" >&2
fi
# The signed file takes the place (and the mode) of the unsigned one.
cat "$work/signed" >"$file"
