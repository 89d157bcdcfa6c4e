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
# ZK_SIGN_PASSWORD (its password) in the environment, the module, the uninstaller and the installer
# (and the host check) are signed with Authenticode (scripts/sign-file.sh); ZK_SIGN_TIMESTAMP_URL names a time-stamp
# server. Without ZK_SIGN_PFX everything is built unsigned, and one line says so.
#
# The same sources give the same bytes: the module holds no build time and no build folder, and
# every file is stamped with the time of the last commit (or SOURCE_DATE_EPOCH, when set), so that
# two unsigned packagings of one commit give the same module, zip and installer
# (scripts/check-reproducible.sh shows it). A signature holds the time of signing.
#
# Installs what it needs when missing. Prints each file's SHA-256 and whether it is signed, then
# the paths of the zip, the installer and the host check's zip.
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
scripts/ensure-packages.sh

signing=()
if [ -n "${ZK_SIGN_PFX:-}" ]; then
  [ -r "$ZK_SIGN_PFX" ] || { echo "package.sh: cannot read the PKCS#12 bundle ZK_SIGN_PFX=$ZK_SIGN_PFX" >&2; exit 1; }
  signing=(--sign)
  echo "package.sh: signing with the certificate in $ZK_SIGN_PFX${ZK_SIGN_TIMESTAMP_URL:+, time-stamped by $ZK_SIGN_TIMESTAMP_URL}" >&2
else
  echo "package.sh: unsigned: ZK_SIGN_PFX is not set" >&2
fi

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
  if x86_64-w64-mingw32-objdump -h "$binary" | grep -q ' \.debug'; then
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

mkdir -p "$dist"
# The zip stores each file's time (in local time: UTC here) and mode, which must not depend on the
# machine; the entries go in a fixed order, without extra attributes (-X).
export TZ=UTC

# make_zip STAGING ZIP BUILT_MODULE TEXT VERSION: the module (signed before anything is made of it:
# the checksums and the zip hold the signed module), its text with @VERSION@ filled in (Windows line
# ends: it is read on Windows, in whatever editor opens it) and SHA256SUMS of the two. The staged
# module stays in STAGING.
make_zip() {
  local staging=$1 zip=$2 binary=$3 text=$4 text_version=$5
  local name text_name
  name=$(basename "$binary")
  text_name=$(basename "$text")
  rm -rf "$staging"
  mkdir -p "$staging"
  cp "$binary" "$staging/$name"
  if ((${#signing[@]})); then scripts/sign-file.sh "$staging/$name"; fi
  sed -e "s/@VERSION@/$text_version/g" -e 's/$/\r/' "$text" >"$staging/$text_name"
  (cd "$staging" && sha256sum "$name" "$text_name" >SHA256SUMS)
  chmod 0644 "$staging"/*
  stamp_files "$staging"/*
  rm -f "$zip"
  (cd "$staging" && zip -q -X "$zip" "$name" "$text_name" SHA256SUMS)
}

zip_file=$dist/ZentrastKolvane-$version-win64.zip
make_zip "$build/zip" "$zip_file" "$built" packaging/INSTALL.txt "$version"
module=$build/zip/ZentrastKolvane.8li
check_zip=$dist/ZentrastKolvane-HostCheck-$check_version.zip
make_zip "$build/zip-hostcheck" "$check_zip" "$built_check" packaging/HOSTCHECK.txt "$check_version"
check_module=$build/zip-hostcheck/ZentrastKolvaneHostCheck.8li

# The installer stores the module's time too.
setup=$(scripts/make-installer.sh "${signing[@]}" "$module" "$dist")

# What whoever publishes the files can paste. The Authenticode signature sits in the PE header's
# security directory: an unsigned file has none.
signature_of() {
  local headers
  headers=$(x86_64-w64-mingw32-objdump -p "$1")
  if grep -Eq 'Entry 4 0+ 0+ Security Directory' <<<"$headers"; then
    echo unsigned
  else
    echo signed
  fi
}
uninstaller_note="its uninstaller unsigned"
if ((${#signing[@]})); then uninstaller_note="its uninstaller signed"; fi
echo "SHA-256                                                           signature  file"
printf '%s  %-9s  %s\n' \
  "$(sha256sum <"$module" | cut -d' ' -f1)" "$(signature_of "$module")" "ZentrastKolvane.8li (in the zip)" \
  "$(sha256sum <"$zip_file" | cut -d' ' -f1)" "-" "$(basename "$zip_file")" \
  "$(sha256sum <"$setup" | cut -d' ' -f1)" "$(signature_of "$setup")" "$(basename "$setup") ($uninstaller_note)" \
  "$(sha256sum <"$check_module" | cut -d' ' -f1)" "$(signature_of "$check_module")" "ZentrastKolvaneHostCheck.8li (in its zip)" \
  "$(sha256sum <"$check_zip" | cut -d' ' -f1)" "-" "$(basename "$check_zip")"
echo "$zip_file"
echo "$setup"
echo "$check_zip"
