#!/usr/bin/env bash
# Prints the plug-in's version: "ProductVersion" in the module's version resource. It is the one
# version of a release: the package's file names, the installer and its uninstall entry take it
# from there, so none of them can say something else than the module itself.
#   scripts/version.sh           from the resource script (plugin/resources/ZentrastKolvane.rc)
#   scripts/version.sh MODULE    from a built module's own version resource
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
if [ $# -ge 1 ]; then
  # windres writes a module's resources back as a resource script, in the form of ours.
  source="$1"
  resources=$(x86_64-w64-mingw32-windres -i "$1" -O rc)
else
  source="$here/plugin/resources/ZentrastKolvane.rc"
  resources=$(cat "$source")
fi
version=$(printf '%s\n' "$resources" | sed -n 's/^ *VALUE "ProductVersion", "\([^"]*\)".*/\1/p')
fixed=$(printf '%s\n' "$resources" | sed -n 's/^ *PRODUCTVERSION *\([0-9]*\), *\([0-9]*\), *\([0-9]*\), *\([0-9]*\).*/\1.\2.\3.\4/p')
# Two numbers: the name of every file made from it and the installer's version block rely on that.
if ! [[ "$version" =~ ^[0-9]+\.[0-9]+$ ]]; then
  echo "version.sh: $source has no ProductVersion of the form N.N (found \"$version\")" >&2
  exit 1
fi
if [ "$fixed" != "$version.0.0" ]; then
  echo "version.sh: $source: PRODUCTVERSION $fixed does not match ProductVersion \"$version\"" >&2
  exit 1
fi
echo "$version"
