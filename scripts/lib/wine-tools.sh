# Which Wine the project's Wine scripts run (sourced by wine-run, wine-prefix.sh, wine-server.sh):
# the system's x64 Wine, or, with ZK_WINE_ROOT naming a root made by scripts/arm64-wine.sh,
# Debian's arm64 Wine unpacked there, whose programs qemu-user runs.
#   wine_cmd         starts a Windows program or one of Wine's own (wine_cmd wineboot -i)
#   wine_loader      the loader itself, for a program whose output is watched (wine-run)
#   wine_server_cmd  the Wine server program (wine_server_cmd -k)
if [ -n "${ZK_WINE_ROOT:-}" ]; then
  case "$ZK_WINE_ROOT" in /*) ;; *) ZK_WINE_ROOT="$PWD/$ZK_WINE_ROOT" ;; esac
  if [ ! -x "$ZK_WINE_ROOT/usr/lib/wine/wine64" ]; then
    echo "ZK_WINE_ROOT=$ZK_WINE_ROOT holds no Wine (scripts/arm64-wine.sh makes one)" >&2
    exit 1
  fi
  wine_loader=$ZK_WINE_ROOT/usr/lib/wine/wine64
  wine_cmd=("$wine_loader")
  # Not the root's wineserver script: it names the system's x64 server, which refuses ARM64 clients.
  wine_server_cmd=("$ZK_WINE_ROOT/usr/lib/wine/wineserver64")
  # qemu finds the root's libraries first; the loader starts the root's server.
  export QEMU_LD_PREFIX="$ZK_WINE_ROOT" WINESERVER="$ZK_WINE_ROOT/usr/lib/wine/wineserver64"
else
  wine_loader=/usr/lib/wine/wine64
  wine_cmd=(wine)
  wine_server_cmd=(wineserver)
fi
