#!/usr/bin/env bash
# Sets up what runs ARM64 Windows programs on this x86-64 machine: qemu-user for ARM64 Linux
# programs (registered with the kernel through binfmt_misc) and Debian's arm64 Wine, unpacked into
# build/arm64-wine/root. The Wine is not installed: its packages are resolved and downloaded with a
# private apt configuration whose architecture is arm64 (scripts/lib/private-apt.sh) and unpacked
# with dpkg -x, so the system's x64 Wine and its package database stay exactly as they are.
#
# The root is stamped with the version of the system's Wine (the arm64 one is taken at the same
# version) and this script's recipe: when both are current, only the kernel's registration is checked.
#
#   arm64-wine.sh          set up (or check), print the root's path
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
. scripts/lib/private-apt.sh

scripts/ensure-packages.sh >&2
dir=$root/build/arm64-wine
wine_root=$dir/root
log() { echo "arm64-wine: $*" >&2; }

sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)

# The kernel hands ARM64 Linux programs to qemu: binfmt_misc mounted, qemu-aarch64 enabled.
binfmt=/proc/sys/fs/binfmt_misc
if [ ! -e "$binfmt/register" ]; then
  "${sudo_cmd[@]}" mount -t binfmt_misc binfmt_misc "$binfmt"
fi
if ! grep -qx enabled "$binfmt/qemu-aarch64" 2>/dev/null; then
  "${sudo_cmd[@]}" update-binfmts --enable qemu-aarch64
fi
if ! grep -qx enabled "$binfmt/qemu-aarch64" 2>/dev/null; then
  log "the kernel does not hand ARM64 programs to qemu ($binfmt/qemu-aarch64 is not enabled)"
  exit 1
fi

wine_version=$(dpkg-query -W -f='${Version}' wine64)
recipe=$(sha256sum scripts/arm64-wine.sh scripts/lib/private-apt.sh | sha256sum | cut -c1-16)
stamp="wine64 $wine_version (arm64), recipe $recipe"
if [ "$(cat "$wine_root/.zk-stamp" 2>/dev/null)" = "$stamp" ]; then
  echo "$wine_root"
  exit 0
fi

started=$SECONDS
log "unpacking Debian's arm64 Wine $wine_version into $wine_root ..."
rm -rf "$dir/apt" "$wine_root"
private_apt_init "$dir/apt" deb arm64
private_apt "$dir/apt" apt-get update -qq
# With an empty package status apt resolves every package the two need, down to the C library.
private_apt "$dir/apt" apt-get install -qq -y --download-only "wine64=$wine_version" "libwine=$wine_version" >&2
mkdir -p "$wine_root.partial"
rm -rf "${wine_root:?}.partial"/*
for deb in "$dir/apt/cache/archives"/*.deb; do
  dpkg -x "$deb" "$wine_root.partial"
  dpkg-deb -f "$deb" Package Version | paste -sd' ' >>"$wine_root.partial/.zk-packages"
done
rm -rf "$dir/apt/cache/archives"/*.deb
for wanted in usr/lib/wine/wine64 usr/lib/wine/wineserver64; do
  if [ ! -x "$wine_root.partial/$wanted" ]; then
    log "the unpacked packages have no $wanted"
    exit 1
  fi
done
# Wine's loader starts the server it finds beside itself first, and Debian's "wineserver" there is a
# script naming /usr/lib/wine/wineserver64: run outside qemu, that is the system's x64 server, which
# refuses ARM64 programs. The root's own server takes its place.
ln -sfn wineserver64 "$wine_root.partial/usr/lib/wine/wineserver"
echo "$stamp" >"$wine_root.partial/.zk-stamp"
mv "$wine_root.partial" "$wine_root"
log "$(wc -l <"$wine_root/.zk-packages") packages unpacked in $((SECONDS - started)) s"
echo "$wine_root"
