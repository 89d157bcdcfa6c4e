#!/usr/bin/env bash
# Runs the test program of files asked for by other names, with the names only the Linux side can
# make: a second drive letter onto a folder (Wine's drive letters are links in the prefix's
# dosdevices folder, as `subst` makes one on Windows), a symbolic link to that folder's "photos"
# and one to a file in it. Removes them again however the program ends.
#   files-by-other-names.sh PREFIX TEST_PROGRAM.exe
set -euo pipefail
prefix=${1:?usage: files-by-other-names.sh PREFIX TEST_PROGRAM.exe}
program=${2:?usage: files-by-other-names.sh PREFIX TEST_PROGRAM.exe}
root=$(cd "$(dirname "$0")/../.." && pwd)
[ -f "$prefix/.zk-ready" ] || "$root/scripts/wine-prefix.sh" "$prefix" >&2
prefix=$(cd "$prefix" && pwd)

name="zk-other-names-$$"
folder="$prefix/drive_c/$name"
letter=""
for candidate in r s t u v w x y; do
  if ! [ -e "$prefix/dosdevices/$candidate:" ] && ! [ -L "$prefix/dosdevices/$candidate:" ]; then
    letter=$candidate
    break
  fi
done
[ -n "$letter" ] || { echo "files-by-other-names.sh: no free drive letter in $prefix/dosdevices" >&2; exit 1; }
cleanup() {
  rm -f "$prefix/dosdevices/$letter:"
  rm -rf "$folder"
}
trap cleanup EXIT
mkdir -p "$folder/photos"
ln -s "$folder" "$prefix/dosdevices/$letter:"
ln -s photos "$folder/linked-photos"
ln -s linked-target.png "$folder/photos/linked.png"  # the test program writes the target

ZK_OTHER_NAMES_FOLDER="C:\\$name" ZK_OTHER_NAMES_DRIVE="${letter^^}:" "$root/scripts/wine-run" "$prefix" "$program"
