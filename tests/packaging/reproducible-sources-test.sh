#!/usr/bin/env bash
# What check-reproducible.sh takes for the sources: in a scratch repository holding the script, a
# committed file, a staged new one, a tracked file changed in the working tree and one deleted
# there, and untracked files (a build folder of another name with a Wine prefix in it, a note).
# Both copies must hold exactly the tracked and staged files, as the working tree has them. The
# script once took untracked files too, so that a developer's build folder became a "source".
#   reproducible-sources-test.sh WORKDIR
set -euo pipefail
work=$(realpath -m "${1:?usage: reproducible-sources-test.sh WORKDIR}")
repository=$(cd "$(dirname "$0")/../.." && pwd)

rm -rf "$work"
mkdir -p "$work/repo/scripts"
cd "$work/repo"
git init -q
cp "$repository/scripts/check-reproducible.sh" scripts/
printf 'committed\n' >committed.txt
printf 'as committed\n' >changed.txt
printf 'to be deleted\n' >deleted.txt
git add -A
git -c user.name=test -c user.email=test@localhost -c commit.gpgSign=false -c core.hooksPath=/dev/null \
  commit -q -m "the sources"
printf 'staged\n' >staged.txt
git add staged.txt
printf 'as in the working tree\n' >changed.txt
rm deleted.txt
mkdir -p "my build/wineprefix/drive_c"
printf 'a file of the prefix\n' >"my build/wineprefix/drive_c/system.reg"
printf 'a note of mine\n' >notes.txt

scripts/check-reproducible.sh --sources-only "$work/copies" >"$work/output.txt"

failures=0
for copy in "$work/copies/one" "$work/copies/a second copy/of the same sources"; do
  found=$(cd "$copy" && find . -path ./.git -prune -o -type f -print | sed 's|^\./||' | LC_ALL=C sort | tr '\n' ' ')
  expected="changed.txt committed.txt scripts/check-reproducible.sh staged.txt "
  if [ "$found" != "$expected" ]; then
    echo "FAIL  $copy holds: $found"
    echo "      expected:  $expected"
    failures=$((failures + 1))
  elif [ "$(cat "$copy/changed.txt")" != "as in the working tree" ]; then
    echo "FAIL  $copy/changed.txt is not the working tree's"
    failures=$((failures + 1))
  else
    echo "ok    $copy holds the tracked and staged files only"
  fi
done
[ $failures -eq 0 ]
