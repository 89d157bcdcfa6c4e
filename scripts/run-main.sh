#!/usr/bin/env bash
# The main job: one bridge run as a user sees it, on Linux, on a picture of one's own.
#   scripts/run-main.sh [IMAGE.png]
# Checks the picture (a PNG of 8 or 16 bits per sample, grey or colour; an alpha channel is
# dropped), installs what is missing, builds the module, the stand-in host and the stand-in
# companion, installs the companion in the default folder of the project's Wine prefix, then has
# the stand-in host load ZentrastKolvane.8li with a few documents open, show the about box and run
# "Do It". The companion lists the documents, checks they are saved, reads the picture at 16 bits
# through the host's raw converter, tone-maps it to 8 bits (an 8-bit picture holds sRGB code
# values and is decoded to linear light first; a 16-bit one is taken as linear light) and sends it
# back as a new document; the raw document the bridge opened is closed again.
# Prints one line per request and its reply, where the whole transcript and the other records are,
# and last the path of the tone-mapped PNG, which has the picture's size. Without IMAGE it works on
# the bundled sample. Any failure ends with a status other than 0 and one line that names the
# picture and says what went wrong.
#   ZK_SHOW_WINDOWS=1 scripts/run-main.sh   shows the windows on $DISPLAY (a prefix of its own)
set -euo pipefail
image=${1:-}
shown_name=$image
# A relative IMAGE is the caller's; the script works from the repository's folder.
case "$image" in "" | /*) ;; *) image="$PWD/$image" ;; esac
cd "$(dirname "$0")/.."
repository=$PWD
if [ -z "$image" ]; then image="$repository/samples/interior-window.png"; shown_name=samples/interior-window.png; fi

fail() {  # one line for a person: the picture, then what went wrong
  echo "run-main.sh: $shown_name: $*" >&2
  exit 1
}

# --- The picture ------------------------------------------------------------------------------
[ $# -le 1 ] || { echo "usage: scripts/run-main.sh [IMAGE.png]" >&2; exit 2; }
[ -e "$image" ] || fail "there is no such file"
[ -f "$image" ] || fail "this is not a file (a folder?)"
[ -r "$image" ] || fail "this file cannot be read (no permission to read it)"
case "$image" in
  *[[:cntrl:]]*) fail "a file name with line breaks or tabs cannot be handed to the companion" ;;
esac
image=$(realpath "$image")
case "$image" in
  *[\"*:\<\>?\|\\]*) fail "Windows programs cannot open a file whose path holds one of \" * : < > ? | \\ (copy it to a plainer name)" ;;
esac
header=$(od -A n -t x1 -N 29 -v "$image" | tr -d ' \n')
[ "${header:0:16}" = 89504e470d0a1a0a ] || fail "this is not a PNG file"
[ "${#header}" -eq 58 ] && [ "${header:24:8}" = 49484452 ] || fail "this PNG file is cut short or damaged (no image header)"
width=$((16#${header:32:8}))
height=$((16#${header:40:8}))
bits=$((16#${header:48:2}))
case $((16#${header:50:2})) in
  0) colour=grey ;; 2) colour=RGB ;; 3) colour="RGB (palette)" ;; 4) colour="grey with alpha (dropped)" ;;
  6) colour="RGB with alpha (dropped)" ;; *) fail "this PNG file has a colour type no reader knows" ;;
esac
((width > 0 && height > 0)) || fail "this PNG file says it has no pixels ($width x $height)"
# A picture of 8 bits (or fewer) per sample holds sRGB code values; one of 16 bits holds linear light.
if ((bits == 16)); then encoding="linear light"; tone_map_encoding=""; else encoding="sRGB"; tone_map_encoding=" srgb"; fi
echo "Picture: $image"
echo "  $width x $height pixels, $bits bits per sample, $colour, taken as $encoding"

# --- Build and prefix -------------------------------------------------------------------------
results="$repository/build/main-job"
rm -rf "$results"
mkdir -p "$results"
echo "Building the module, the stand-in host and the stand-in companion; minutes the first time (log: $results/build.log)"
{
  scripts/ensure-packages.sh &&
    cmake --preset mingw &&
    cmake --build --preset mingw --target ZentrastKolvane zkhost zk_companion
} >"$results/build.log" 2>&1 || fail "the build failed before the picture could be used (see $results/build.log)"

if [ "${ZK_SHOW_WINDOWS:-0}" = 1 ]; then prefix="$repository/build/wineprefix-windows"; else prefix="$repository/build/wineprefix"; fi
scripts/wine-prefix.sh "$prefix" >>"$results/build.log" 2>&1 || fail "the Wine prefix $prefix could not be made (see $results/build.log)"
run() { scripts/wine-run "$prefix" "$@"; }
# Wine sees the Linux file system as drive Z:.
winepath_of() { printf 'Z:%s' "${1//\//\\}"; }

bin="$repository/build/mingw/bin"
user_dir=$(find "$prefix/drive_c/users" -mindepth 1 -maxdepth 1 -type d ! -name Public | head -n 1)
install_dir="$prefix/drive_c/Program Files/ZentrastKolvane4"
mkdir -p "$install_dir"
cp "$bin/ZentrastKolvane.exe" "$install_dir/"
transcript="$user_dir/Temp/ZentrastKolvane-transcript.txt"
log="$user_dir/Documents/ZKVPlugin.log"
rm -f "$transcript" "$log"

# The companion's story, from the sample scenario with this picture in it. Texts in a scenario
# are quoted: a backslash and a double quote are escaped.
windows_image=$(winepath_of "$image")
quoted_image=${windows_image//\\/\\\\}
quoted_image=${quoted_image//\"/\\\"}
scenario=$(<samples/main-job-scenario.txt)
scenario=${scenario//'C:\\Photos\\interior-window.png'/"$quoted_image"}
tone_map='tone-map "ZentrastKolvane-raw" "ZentrastKolvane-image" $width $height 8'
scenario=${scenario//"$tone_map"/"$tone_map$tone_map_encoding"}
if [[ "$scenario" != *"$quoted_image"* || "$scenario" != *"$tone_map$tone_map_encoding"* ]]; then
  fail "samples/main-job-scenario.txt no longer has the lines this script fills in (the picture's path, the tone-map)"
fi
mkdir -p "$prefix/drive_c/Photos"
printf '%s\n' "$scenario" >"$prefix/drive_c/Photos/main-job-scenario.txt"
cp "$prefix/drive_c/Photos/main-job-scenario.txt" "$results/scenario.txt"

# The companion (started by the plug-in) writes its transcript where the host's environment says.
export ZK_COMPANION_TRANSCRIPT='C:\users\'"$(basename "$user_dir")"'\Temp\ZentrastKolvane-transcript.txt'
export ZK_COMPANION_SCENARIO='C:\Photos\main-job-scenario.txt'

echo "Running \"Do It\" in the stand-in host with three documents open (its account: $results/host.txt)"
host_status=0
run "$bin/zkhost.exe" --plugins "$(winepath_of "$bin/plugins")" --list \
  --document 'title=Harbour.psd|file=C:\Photos\Harbour.psd|width=600|height=400|resolution=300|depth=16' \
  --document 'title=Untitled-1|width=800|height=600|depth=8|dirty=yes' \
  --document 'title=Dunes.tif|file=C:\Photos\Dunes.tif|width=72|height=48|unit=distance|resolution=300|depth=8' \
  --about "Zentrast Kolvane..." --answer escape \
  --doit "Zentrast Kolvane..." \
  --write-documents "$(winepath_of "$results")" >"$results/host.txt" 2>&1 || host_status=$?
[ -f "$transcript" ] && tr -d '\r' <"$transcript" >"$results/transcript.txt"
[ -f "$log" ] && tr -d '\r' <"$log" >"$results/plugin.log"
host=$(tr -d '\r' <"$results/host.txt")
((host_status == 0)) || fail "the stand-in host ended with status $host_status: $(grep '^zkhost: ' <<<"$host" | head -n 1 | cut -c9-) (see $results/host.txt)"
[ -f "$results/transcript.txt" ] || fail "the companion never started: it wrote no transcript (see $results/host.txt)"

# --- The story, from the companion's transcript ---------------------------------------------------
echo "The companion's requests and the plug-in's replies:"
awk '
  # The transcript escapes a backslash in a text; a person reads the path as Windows writes it.
  function shorten(text, limit) {
    gsub(/\\\\/, "\\", text)
    return length(text) > limit ? substr(text, 1, limit - 3) "..." : text
  }
  /^request: / { request = substr($0, 10); next }
  /^reply: / { reply = substr($0, 8); print "  " shorten(request, 60) " -> " shorten(reply == "" ? "(no fields)" : reply, 70); next }
  /^reply-incomplete: / { print "  " shorten(request, 60) " -> broke off after " shorten(substr($0, 19), 50); next }
  /^tone-mapped: / { print "  (the companion tone-mapped " shorten(substr($0, 14), 140) ")"; next }
' "$results/transcript.txt"
echo "Whole transcript: $results/transcript.txt"
echo "Plug-in log: $results/plugin.log"

transcript_text=$(<"$results/transcript.txt")
value_of() { grep -m 1 "^$1: " <<<"$transcript_text" | cut -d' ' -f2- || true; }
problem=$(value_of scenario-error)
[ -z "$problem" ] || fail "the companion could not read its scenario: $problem"
problem=$(value_of connect-failed)
[ -z "$problem" ] || fail "the companion could not reach the plug-in: $problem"
problem=$(value_of failed)
if [ -n "$problem" ]; then
  problem=${problem#line * }
  # The host's status in the plug-in's answer, in words; and what the companion's own decoder says.
  case "$problem" in
    *"ReadRaw was not done"*"error -43\"") problem="the host's raw converter found no such file: $problem" ;;
    *"ReadRaw was not done"*"error -50\"") problem="the host's raw converter could not read it as a picture (damaged, or not an image): $problem" ;;
    *"ReadRaw was not done"*"error -108\"") problem="the host ran out of memory while opening it: $problem" ;;
  esac
  decoder=$(grep -m 1 -o 'cannot decode the image file: .*' <<<"$transcript_text" || true)
  [ -z "$decoder" ] || [[ "$problem" == *"$decoder"* ]] || problem="$problem; the companion's own decoder says: ${decoder#cannot decode the image file: }"
  fail "$problem"
fi
problem=$(value_of error)
[ -z "$problem" ] || fail "the companion's pipe failed: $problem"
companion_exit=$(value_of exit)
[ "$companion_exit" = 0 ] || fail "the companion ended with status ${companion_exit:-unknown} (see $results/transcript.txt)"

# --- The new document and the raw document -------------------------------------------------------
# The titles the host lists under "Documents made during the run", and where it wrote each open one.
made=$(awk '
  /^Documents made during the run:/ { listing = 1; next }
  listing && /^  "/ && !/" -> / { split($0, parts, "\""); made[parts[2]] = 1; next }
  { listing = 0 }
  /^  ".*" -> / { split($0, parts, "\""); if (parts[2] in made) { sub(/^.* -> Z:/, ""); gsub(/\\/, "/"); print } }' <<<"$host")
[ -n "$made" ] || fail "no new document was made (see $results/host.txt and $results/transcript.txt)"
[ "$(wc -l <<<"$made")" -eq 1 ] || fail "more than one new document was made (see $results/host.txt)"
raw_title=${image##*/}
if grep -qF "  \"$raw_title\" -> " <<<"$host"; then
  fail "the raw document \"$raw_title\" the bridge opened is still open after the run (see $results/plugin.log)"
fi
echo "The raw document \"$raw_title\" was closed again; the tone-mapped picture is a new document."
result_header=$(od -A n -t x1 -N 24 -v "$made" | tr -d ' \n')
result_size="$((16#${result_header:32:8})) x $((16#${result_header:40:8}))"
[ "$result_size" = "$width x $height" ] || fail "the result $made measures $result_size, not $width x $height"
echo "$made"
