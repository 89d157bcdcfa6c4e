#!/usr/bin/env bash
# Builds what a photographer gets: an optimised module (no debug information, system DLLs only)
# in build/package, and in dist/
#   ZentrastKolvane-<version>-win64.zip   ZentrastKolvane.8li, INSTALL.txt and SHA256SUMS
#   ZentrastKolvane-<version>-Setup.exe   the 64-bit installer (NSIS)
# and, for a person who runs the host check on a real host (the installer never installs it),
#   ZentrastKolvane-HostCheck-<check version>.zip   ZentrastKolvaneHostCheck.8li, HOSTCHECK.txt, SHA256SUMS
# Each <version> is that module's own, read from its version resource (scripts/version.sh prints it).
#   scripts/package.sh [--out DIR] [--build DIR]    other folders than dist/ and build/package
#
# Signed files: with ZK_SIGN_PFX (a PKCS#12 bundle of a code-signing certificate and its key) and
# ZK_SIGN_PASSWORD (its password) in the environment, the modules, the uninstaller and the installer
# are signed with Authenticode (scripts/sign-file.sh); ZK_SIGN_TIMESTAMP_URL names a time-stamp
# server. The password goes into a file that only this user can read, removed when the script
# ends, and leaves the environment before anything is started: it reaches osslsigncode alone, never
# CMake, the compilers or makensis. Without ZK_SIGN_PFX everything is built unsigned, and one line
# says so.
#
# Every file is made in a staging folder; dist/ gets the whole set only when every file was made,
# signed and verified. A failure on the way (a signing that fails inside makensis among them) leaves
# dist/ as it was.
#
# Each program's signature state is what osslsigncode verify says of that very file, the uninstaller
# inside the installer included (taken out of it with 7z): "signed" when its signature is there,
# its digest matches the file and it verifies against the certificates in ZK_SIGN_CA (a PEM file;
# the system's when unset), "unsigned" when it has none. A file that is neither, or that the
# verifier cannot tell, ends the packaging, and so does an unsigned file when a certificate was given.
#
# The same sources give the same bytes: the module holds no build time and no build folder, and
# every file is stamped with the time of the last commit (or SOURCE_DATE_EPOCH, when set), so that
# two unsigned packagings of one commit give the same module, zip and installer
# (scripts/check-reproducible.sh shows it). A signature holds the time of signing.
#
# Installs what it needs when missing. Prints each file's SHA-256 and signature state, then the
# paths of the zip, the installer and the host check's zip.
set -euo pipefail
cd "$(dirname "$0")/.."
dist=$PWD/dist
build=$PWD/build/package
while [ $# -gt 0 ]; do
  case "$1" in
    --out) dist=$(realpath -m "${2:?package.sh: --out wants a folder}"); shift 2 ;;
    --build) build=$(realpath -m "${2:?package.sh: --build wants a folder}"); shift 2 ;;
    *) echo "usage: scripts/package.sh [--out DIR] [--build DIR]" >&2; exit 2 ;;
  esac
done

staging=""
secrets=""
trap 'rm -rf "$staging" "$secrets"' EXIT

signing=()   # --sign and the password file, for make-installer.sh
if [ -n "${ZK_SIGN_PFX:-}" ]; then
  [ -r "$ZK_SIGN_PFX" ] || { echo "package.sh: cannot read the PKCS#12 bundle ZK_SIGN_PFX=$ZK_SIGN_PFX" >&2; exit 1; }
  signing=(--sign)
  if [ -n "${ZK_SIGN_PASSWORD:-}" ]; then
    secrets=$(mktemp -d)
    # printf is the shell's own: the password is on no command line either.
    (umask 077 && printf '%s' "$ZK_SIGN_PASSWORD" >"$secrets/password")
    signing+=(--password-file "$secrets/password")
  fi
  echo "package.sh: signing with the certificate in $ZK_SIGN_PFX${ZK_SIGN_TIMESTAMP_URL:+, time-stamped by $ZK_SIGN_TIMESTAMP_URL}" >&2
else
  echo "package.sh: unsigned: ZK_SIGN_PFX is not set" >&2
fi
unset ZK_SIGN_PASSWORD
signed_package() { ((${#signing[@]})); }
sign() { scripts/sign-file.sh "${signing[@]:1}" "$1"; }

scripts/ensure-packages.sh

# The time every file carries.
if [ -n "${SOURCE_DATE_EPOCH:-}" ]; then
  stamp=$SOURCE_DATE_EPOCH
elif ! stamp=$(git log -1 --format=%ct 2>/dev/null); then
  stamp=""
  echo "package.sh: neither a commit nor SOURCE_DATE_EPOCH gives a time: the files keep their own" >&2
fi
stamp_files() { if [ -n "$stamp" ]; then touch -d "@$stamp" "$@"; fi; }

# Release: optimised and without -g; -s also drops the symbols and the debug information that
# the static runtime libraries bring along.
cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64-x86_64.cmake" -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_SHARED_LINKER_FLAGS_RELEASE=-s >/dev/null
# The build's progress goes with the other messages: the standard output is for what is made.
cmake --build "$build" -j2 --target ZentrastKolvane ZentrastKolvaneHostCheck >&2
built=$build/bin/plugins/ZentrastKolvane.8li
built_check=$build/bin/plugins/ZentrastKolvaneHostCheck.8li

for binary in "$built" "$built_check"; do
  scripts/check-module-binary.sh "$binary" >&2
  # Read first: an objdump that fails must fail the packaging, not pass for "no debug sections".
  sections=$(x86_64-w64-mingw32-objdump -h "$binary")
  if grep -q ' \.debug' <<<"$sections"; then
    echo "package.sh: $binary still holds debug information" >&2
    exit 1
  fi
done
version=$(scripts/version.sh "$built")
check_version=$(scripts/version.sh "$built_check")
if [ "$version" != "$(scripts/version.sh)" ]; then
  echo "package.sh: the built module says $version, the resource script $(scripts/version.sh)" >&2
  exit 1
fi

rm -rf "$build/staging"
mkdir -p "$build/staging"
staging=$build/staging
# The zip stores each file's time (in local time: UTC here) and mode, which must not depend on the
# machine; the entries go in a fixed order, without extra attributes (-X).
export TZ=UTC

# make_zip CONTENTS ZIP BUILT_MODULE TEXT VERSION: the module (signed before anything is made of
# it: the checksums and the zip hold the signed module), its text with @VERSION@ filled in (Windows
# line ends: it is read on Windows, in whatever editor opens it) and SHA256SUMS of the two. The
# module stays in CONTENTS.
make_zip() {
  local contents=$1 zip=$2 binary=$3 text=$4 text_version=$5
  local name text_name
  name=$(basename "$binary")
  text_name=$(basename "$text")
  rm -rf "$contents"
  mkdir -p "$contents"
  cp "$binary" "$contents/$name"
  if signed_package; then sign "$contents/$name"; fi
  sed -e "s/@VERSION@/$text_version/g" -e 's/$/\r/' "$text" >"$contents/$text_name"
  (cd "$contents" && sha256sum "$name" "$text_name" >SHA256SUMS)
  chmod 0644 "$contents"/*
  stamp_files "$contents"/*
  (cd "$contents" && zip -q -X "$zip" "$name" "$text_name" SHA256SUMS)
}

zip_name=ZentrastKolvane-$version-win64.zip
make_zip "$build/zip" "$staging/$zip_name" "$built" packaging/INSTALL.txt "$version"
module=$build/zip/ZentrastKolvane.8li
check_zip_name=ZentrastKolvane-HostCheck-$check_version.zip
make_zip "$build/zip-hostcheck" "$staging/$check_zip_name" "$built_check" packaging/HOSTCHECK.txt "$check_version"
check_module=$build/zip-hostcheck/ZentrastKolvaneHostCheck.8li

# The installer stores the module's time too.
setup=$(scripts/make-installer.sh "${signing[@]}" "$module" "$staging")
setup_name=$(basename "$setup")

# The uninstaller as the installer holds it, to be verified as the file it is.
mkdir "$staging/setup-contents"
7z x -y -o"$staging/setup-contents" "$setup" >/dev/null
mapfile -t uninstallers < <(find "$staging/setup-contents" -type f -name Uninstall.exe)
if [ ${#uninstallers[@]} -ne 1 ]; then
  echo "package.sh: found ${#uninstallers[@]} uninstallers in $setup, not one: cannot tell whether it is signed" >&2
  exit 1
fi
uninstaller=${uninstallers[0]}

# signature_state FILE: "signed (verification: ok)" or "unsigned (no signature found)", as
# osslsigncode verify reports it; fails with the verifier's words for anything else.
signature_state() {
  local file=$1 report status=0 current calculated
  local verify=(osslsigncode verify -in "$file")
  if [ -n "${ZK_SIGN_CA:-}" ]; then verify+=(-CAfile "$ZK_SIGN_CA"); fi
  report=$("${verify[@]}" 2>&1) || status=$?
  current=$(sed -n 's/^Current message digest *: *\([0-9A-Fa-f]*\).*$/\1/p' <<<"$report")
  calculated=$(sed -n 's/^Calculated message digest *: *\([0-9A-Fa-f]*\).*$/\1/p' <<<"$report")
  if [ "$status" -eq 0 ] && grep -qx 'Signature verification: ok' <<<"$report" &&
    [ -n "$current" ] && [ "$current" = "$calculated" ]; then
    echo "signed (verification: ok)"
  elif [ "$status" -ne 0 ] && grep -qx 'No signature found' <<<"$report" && [ -z "$current" ]; then
    echo "unsigned (no signature found)"
  else
    echo "package.sh: osslsigncode verify (exit status $status) tells neither a valid signature nor none of $file:" >&2
    sed 's/^/  /' <<<"$report" >&2
    return 1
  fi
}

# Every program's state, known before anything goes to dist/.
rows=()
add_row() {  # FILE STATE LABEL
  rows+=("$(printf '%-64s  %-31s  %s' "$(sha256sum <"$1" | cut -d' ' -f1)" "$2" "$3")")
}
for entry in "$module|ZentrastKolvane.8li (in $zip_name)" "$setup|$setup_name" \
  "$uninstaller|Uninstall.exe (in $setup_name)" "$check_module|ZentrastKolvaneHostCheck.8li (in $check_zip_name)"; do
  file=${entry%%|*}
  state=$(signature_state "$file")
  if signed_package && [ "${state%% *}" != signed ]; then
    echo "package.sh: ${entry#*|} is $state although a certificate was given" >&2
    exit 1
  fi
  add_row "$file" "$state" "${entry#*|}"
done
add_row "$staging/$zip_name" "-" "$zip_name"
add_row "$staging/$check_zip_name" "-" "$check_zip_name"

mkdir -p "$dist"
for name in "$zip_name" "$setup_name" "$check_zip_name"; do
  mv -f "$staging/$name" "$dist/$name"
done

# What whoever publishes the files can paste.
printf '%-64s  %-31s  %s\n' SHA-256 "signature (osslsigncode verify)" file
printf '%s\n' "${rows[@]}"
echo "$dist/$zip_name"
echo "$dist/$setup_name"
echo "$dist/$check_zip_name"
