#!/usr/bin/env bash
# The main job: one bridge run as a user sees it, on Linux. Installs what is missing, builds the
# module, the stand-in host and the stand-in companion, installs the companion in the default
# folder of the project's Wine prefix, then has the stand-in host load ZentrastKolvane.8li from its
# plug-ins folder with a few documents open, show the about box and run "Do It". The companion
# lists the documents, checks they are saved, reads the sample raw file at 16 bits through the
# host's raw converter, tone-maps it and sends it back; the new document is written as a PNG.
# Prints the host's account, the companion's transcript, the plug-in log and where the PNG is.
#   ZK_SHOW_WINDOWS=1 scripts/run-main.sh   shows the windows on $DISPLAY (a prefix of its own)
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/ensure-packages.sh
cmake --preset mingw >/dev/null
cmake --build --preset mingw --target ZentrastKolvane zkhost zk_companion

if [ "${ZK_SHOW_WINDOWS:-0}" = 1 ]; then prefix="$PWD/build/wineprefix-windows"; else prefix="$PWD/build/wineprefix"; fi
scripts/wine-prefix.sh "$prefix"
run() { scripts/wine-run "$prefix" "$@"; }
# Wine sees the Linux file system as drive Z:.
winepath_of() { printf 'Z:%s' "${1//\//\\}"; }

bin="$PWD/build/mingw/bin"
user_dir=$(find "$prefix/drive_c/users" -mindepth 1 -maxdepth 1 -type d ! -name Public | head -n 1)
install_dir="$prefix/drive_c/Program Files/ZentrastKolvane4"
mkdir -p "$install_dir"
cp "$bin/ZentrastKolvane.exe" "$install_dir/"
transcript="$user_dir/Temp/ZentrastKolvane-transcript.txt"
log="$user_dir/Documents/ZKVPlugin.log"
rm -f "$transcript" "$log"

# The sample raw file the companion asks for, and the folder the new document is written to.
mkdir -p "$prefix/drive_c/Photos"
cp samples/interior-window.png "$prefix/drive_c/Photos/"
results="$PWD/build/main-job"
rm -rf "$results"
mkdir -p "$results"
cp samples/main-job-scenario.txt "$prefix/drive_c/Photos/main-job-scenario.txt"

# The companion (started by the plug-in) writes its transcript where the host's environment says,
# and plays the whole story.
export ZK_COMPANION_TRANSCRIPT='C:\users\'"$(basename "$user_dir")"'\Temp\ZentrastKolvane-transcript.txt'
export ZK_COMPANION_SCENARIO='C:\Photos\main-job-scenario.txt'

echo "== The stand-in host"
run "$bin/zkhost.exe" --plugins "$(cd "$bin/plugins" && pwd)" --list \
  --document 'title=Harbour.psd|file=C:\Photos\Harbour.psd|width=600|height=400|resolution=300|depth=16' \
  --document 'title=Untitled-1|width=800|height=600|depth=8|dirty=yes' \
  --document 'title=Dunes.tif|file=C:\Photos\Dunes.tif|width=72|height=48|unit=distance|resolution=300|depth=8' \
  --about "Zentrast Kolvane..." --answer escape \
  --doit "Zentrast Kolvane..." \
  --write-documents "$(winepath_of "$results")" | tee "$results/host.txt"
echo
echo "== The companion's transcript"
cat "$transcript"
echo
echo "== The plug-in log ($log)"
tr -d '\r' < "$log"
echo
echo "== The tone-mapped image the companion sent back, as a new document"
# The titles the host lists under "Documents made during the run", and where it wrote them.
made=$(tr -d '\r' < "$results/host.txt" | awk '
  /^Documents made during the run:/ { listing = 1; next }
  listing && /^  "/ && !/" -> / { split($0, parts, "\""); made[parts[2]] = 1; next }
  { listing = 0 }
  /^  ".*" -> / { split($0, parts, "\""); if (parts[2] in made) { sub(/^.* -> Z:/, ""); gsub(/\\/, "/"); print } }')
if [ -n "$made" ]; then
  echo "$made"
else
  echo "no new document was written (see the transcript above)"
  exit 1
fi
