#!/usr/bin/env bash
# A picture of the status window as a user sees it once the companion runs: a bridge run with
# windows shown on a virtual X display (Xvfb), in the prefix of shown windows; the screen is taken
# while the companion waits after "Running".
#   scripts/screenshot-status.sh OUTPUT.png
# Installs xvfb and imagemagick (its `import` takes the picture) when they are missing. Not part of
# the tests: the picture is for a person to look at.
set -euo pipefail
output=${1:?usage: screenshot-status.sh OUTPUT.png}
case "$output" in /*) ;; *) output="$PWD/$output" ;; esac
cd "$(dirname "$0")/.."
scripts/ensure-packages.sh xvfb imagemagick
cmake --preset mingw >/dev/null
cmake --build --preset mingw --target ZentrastKolvane zkhost zk_companion >/dev/null

# A display nobody uses.
display=99
while [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ]; do display=$((display + 1)); done
Xvfb ":$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill "$xvfb" 2>/dev/null || true' EXIT
for _ in $(seq 100); do [ -e "/tmp/.X11-unix/X$display" ] && break; sleep 0.1; done
export DISPLAY=":$display" ZK_SHOW_WINDOWS=1

prefix="$PWD/build/wineprefix-windows"
scripts/wine-prefix.sh "$prefix"
bin="$PWD/build/mingw/bin"
user_dir=$(find "$prefix/drive_c/users" -mindepth 1 -maxdepth 1 -type d ! -name Public | head -n 1)
mkdir -p "$prefix/drive_c/Program Files/ZentrastKolvane4" "$prefix/drive_c/Photos"
cp "$bin/ZentrastKolvane.exe" "$prefix/drive_c/Program Files/ZentrastKolvane4/"
transcript="$user_dir/Temp/status-screenshot-transcript.txt"
rm -f "$transcript"
# The companion's own window stays hidden so that it covers nothing; it waits after "Running".
printf 'window hidden\nrequest "Running"\nstay 6000\n' >"$prefix/drive_c/Photos/status-screenshot.txt"
export ZK_COMPANION_TRANSCRIPT='C:\users\'"$(basename "$user_dir")"'\Temp\status-screenshot-transcript.txt'
export ZK_COMPANION_SCENARIO='C:\Photos\status-screenshot.txt'

scripts/wine-run "$prefix" "$bin/zkhost.exe" --plugins "Z:${bin//\//\\}\\plugins" --doit "Zentrast Kolvane..." >/dev/null &
host=$!
# The reply to "Running" is written once the text has changed; the window is painted soon after.
for _ in $(seq 300); do
  grep -q '^reply: ' "$transcript" 2>/dev/null && break
  sleep 0.1
done
grep -q '^reply: ' "$transcript" 2>/dev/null || { echo "screenshot-status.sh: the companion never got its reply" >&2; exit 1; }
sleep 1
import -window root "$output"
wait "$host"
echo "$output"
