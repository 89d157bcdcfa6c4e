#!/usr/bin/env bash
# One Wine server and one desktop for a whole session of Windows programs in a prefix (a test run,
# the random requests), kept alive from start to stop:
#   wine-server.sh start PREFIX     ends whatever server the prefix still has, starts a persistent one,
#                                   the prefix's services and its desktop, apart from the caller's output
#   wine-server.sh stop PREFIX      ends the server and every program still running in the prefix
# A server that is not persistent ends a few seconds after its last program, and a program started
# while it shuts down is ended with it or fails to start; services it starts anew inherit the
# caller's output (ctest then waits for them). "wineserver -p" does not make a running server
# persistent: it leaves it be and exits with 2, so a server still up from a run before is ended first.
set -euo pipefail
. "$(dirname "$0")/lib/wine-tools.sh"
action=${1:?usage: wine-server.sh start|stop PREFIX}
prefix=${2:?usage: wine-server.sh start|stop PREFIX}
export WINEPREFIX="$prefix" WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY
# The services and the desktop are started without address randomisation, as wine-run starts
# programs (see there).
norandom=()
if setarch "$(uname -m)" -R true 2>/dev/null; then norandom=(setarch "$(uname -m)" -R); fi
case "$action" in
  start)
    "${wine_server_cmd[@]}" -k >/dev/null 2>&1 || true
    "${wine_server_cmd[@]}" -w
    "${wine_server_cmd[@]}" -p
    "${norandom[@]}" "${wine_cmd[@]}" wineboot </dev/null >/dev/null 2>&1
    # The desktop (explorer /desktop) is started by the first program that needs a window, takes its
    # standard error, and ends a second after the last program on it has. Started from a test, it
    # holds that test's output pipe open for as long as any other program uses the desktop: ctest
    # counts a short test until a long one beside it has ended too, or until the short one's
    # time-out. A program with a window for the whole session (Wine's notepad) keeps one desktop
    # up, started apart from the caller's output; rundll32, which makes a window of its own, returns
    # once that desktop is there (the function it is given is only a harmless call).
    "${norandom[@]}" "${wine_cmd[@]}" notepad.exe </dev/null >/dev/null 2>&1 &
    "${norandom[@]}" "${wine_cmd[@]}" rundll32.exe user32.dll,GetDesktopWindow </dev/null >/dev/null 2>&1
    ;;
  stop)
    "${wine_server_cmd[@]}" -k >/dev/null 2>&1 || true
    ;;
  *)
    echo "usage: wine-server.sh start|stop PREFIX" >&2
    exit 2
    ;;
esac
