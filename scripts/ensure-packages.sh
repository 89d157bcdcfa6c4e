#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the demo need, when missing.
#   ensure-packages.sh [PACKAGE...]   also the packages named (a script's own needs, e.g. the benchmark's plotter)
set -euo pipefail

needed=(
  cmake
  g++-mingw-w64-x86-64-posix   # cross compiler (posix threads) for the module and every Windows program
  binutils-mingw-w64-x86-64    # windres, objdump
  wine64                       # runs every Windows program, tests included
  googletest                   # GoogleTest/GoogleMock sources, built with the cross compiler
  libstb-dev                   # image files in stand-ins and tests
  nsis                         # makensis: the installer, built and installed by a test
  zip                          # the package (scripts/package.sh, which a test runs)
  unzip                        # the signed package's test looks into the zip
  osslsigncode                 # Authenticode signing, and verifying every signed file
  ca-certificates              # what osslsigncode verifies a release certificate's chain against
  p7zip-full                   # 7z takes the uninstaller out of the installer, to verify its signature
  openssl                      # the test's throw-away code-signing certificate
  "$@"
)

missing=()
for pkg in "${needed[@]}"; do
  dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' || missing+=("$pkg")
done

if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq "${missing[@]}" >/dev/null
fi
