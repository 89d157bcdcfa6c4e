#!/usr/bin/env bash
# Shows that the same sources give the same bytes: packages the sources twice, unsigned, in two
# folders of different names and depths, and compares the module, the zip and the installer byte
# for byte. The sources are the files git tracks, staged ones included, as they are in the working
# tree; never an untracked file (a build folder of another name, with its Wine prefix, would be
# taken for a source). Each copy is committed anew with the last commit's time, so that package.sh
# finds that time as it does in a checkout.
#   scripts/check-reproducible.sh [--sources-only] [WORKDIR]    the two copies go there (default build/reproducible)
# --sources-only: makes the two copies of the sources and stops.
# Prints each file's SHA-256 in both packagings; exits 1 when any file differs.
set -euo pipefail
cd "$(dirname "$0")/.."
sources_only=0
if [ "${1:-}" = --sources-only ]; then
  sources_only=1
  shift
fi
work=$(realpath -m "${1:-build/reproducible}")
stamp=$(git log -1 --format=%ct)

rm -rf "$work"
copies=("$work/one" "$work/a second copy/of the same sources")
for copy in "${copies[@]}"; do
  mkdir -p "$copy"
  # A file deleted but not yet committed is listed and missing; it is no source.
  git ls-files -z --cached | tar --null --files-from=- --ignore-failed-read -c 2>/dev/null | tar -x -C "$copy"
  git -C "$copy" init -q
  git -C "$copy" add -A
  GIT_COMMITTER_DATE="@$stamp" GIT_AUTHOR_DATE="@$stamp" git -C "$copy" -c user.name=check-reproducible \
    -c user.email=check-reproducible@localhost -c commit.gpgSign=false -c core.hooksPath=/dev/null \
    commit -q -m "the sources as they were"
done
if [ $sources_only -eq 1 ]; then
  printf 'The sources are copied into %s\n' "${copies[@]}"
  exit 0
fi

scripts/ensure-packages.sh
for copy in "${copies[@]}"; do
  echo "Packaging in $copy (log: $copy.log)"
  if ! env -u ZK_SIGN_PFX -u ZK_SIGN_PASSWORD -u SOURCE_DATE_EPOCH "$copy/scripts/package.sh" >"$copy.log" 2>&1; then
    tail -n 20 "$copy.log" >&2
    echo "check-reproducible.sh: the packaging in $copy failed" >&2
    exit 1
  fi
  grep -q '^package.sh: unsigned' "$copy.log" || { echo "check-reproducible.sh: package.sh did not say that it built unsigned" >&2; exit 1; }
done

status=0
compare() {  # NAME PATH-IN-A-COPY
  local first="${copies[0]}/$2" second="${copies[1]}/$2"
  local a b
  a=$(sha256sum <"$first" | cut -d' ' -f1)
  b=$(sha256sum <"$second" | cut -d' ' -f1)
  if [ "$a" = "$b" ]; then
    printf 'same       %s  %s\n' "$a" "$1"
  else
    printf 'DIFFERENT  %s  %s\n           %s\n' "$a" "$1" "$b"
    cmp "$first" "$second" | head -n 1 || true
    status=1
  fi
}
version=$(scripts/version.sh)
compare ZentrastKolvane.8li build/package/zip/ZentrastKolvane.8li
compare "ZentrastKolvane-$version-win64.zip" "dist/ZentrastKolvane-$version-win64.zip"
compare "ZentrastKolvane-$version-Setup.exe" "dist/ZentrastKolvane-$version-Setup.exe"
check_zip=$(cd "${copies[0]}" && ls dist/ZentrastKolvane-HostCheck-*.zip)
compare "$(basename "$check_zip")" "$check_zip"
if [ $status -eq 0 ]; then
  echo "check-reproducible.sh: the two packagings gave the same bytes"
else
  echo "check-reproducible.sh: the same sources gave different bytes" >&2
fi
exit $status
