#!/usr/bin/env bash
# Builds what a photographer gets: an optimised module (no debug information, system DLLs only)
# in build/package, and in dist/
#   ZentrastKolvane-<version>-win64.zip   ZentrastKolvane.8li, INSTALL.txt and SHA256SUMS
#   ZentrastKolvane-<version>-Setup.exe   the 64-bit installer (NSIS)
# <version> is the module's own, read from its version resource (scripts/version.sh prints it).
# Installs what it needs when missing. Prints the paths of the two files.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/ensure-packages.sh zip

build=$PWD/build/package
# Release: optimised and without -g; -s also drops the symbols and the debug information that
# the static runtime libraries bring along.
cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64-x86_64.cmake" -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_SHARED_LINKER_FLAGS_RELEASE=-s >/dev/null
cmake --build "$build" -j2 --target ZentrastKolvane
module=$build/bin/plugins/ZentrastKolvane.8li

scripts/check-module-binary.sh "$module"
if x86_64-w64-mingw32-objdump -h "$module" | grep -q ' \.debug'; then
  echo "package.sh: $module still holds debug information" >&2
  exit 1
fi
version=$(scripts/version.sh "$module")
if [ "$version" != "$(scripts/version.sh)" ]; then
  echo "package.sh: the built module says $version, the resource script $(scripts/version.sh)" >&2
  exit 1
fi

dist=$PWD/dist
mkdir -p "$dist"
staging=$build/zip
rm -rf "$staging"
mkdir -p "$staging"
cp "$module" "$staging/ZentrastKolvane.8li"
# Windows line ends: the text is read on Windows, in whatever editor opens it.
sed -e "s/@VERSION@/$version/g" -e 's/$/\r/' packaging/INSTALL.txt >"$staging/INSTALL.txt"
(cd "$staging" && sha256sum ZentrastKolvane.8li INSTALL.txt >SHA256SUMS)
# The files carry the time of the last commit, so that the same sources give the same archive.
export TZ=UTC
if stamp=$(git log -1 --format=%cd --date=format:%Y%m%d%H%M.%S 2>/dev/null); then
  touch -t "$stamp" "$staging"/*
fi
zip_file=$dist/ZentrastKolvane-$version-win64.zip
rm -f "$zip_file"
(cd "$staging" && zip -q -X "$zip_file" ZentrastKolvane.8li INSTALL.txt SHA256SUMS)

setup=$(scripts/make-installer.sh "$module" "$dist")
echo "$zip_file"
echo "$setup"
