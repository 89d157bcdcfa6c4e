#!/usr/bin/env bash
# Checks that an ARM64 module carries the x64 module's resources byte for byte, save the property
# list's entry-point property: the one '8664' there is 'wa64' here. Every resource (type, name,
# language) is compared by its data; where the linker put each one is its own business.
#   check-module-resources.sh X64_MODULE ARM64_MODULE
set -euo pipefail
x64=${1:?usage: check-module-resources.sh X64_MODULE ARM64_MODULE}
arm64=${2:?usage: check-module-resources.sh X64_MODULE ARM64_MODULE}
readobj=/usr/lib/llvm-19/bin/llvm-readobj
[ -x "$readobj" ] || { echo "check-module-resources.sh: $readobj is missing (scripts/ensure-packages.sh installs llvm-19)" >&2; exit 1; }
for module in "$x64" "$arm64"; do
  [ -f "$module" ] || { echo "check-module-resources.sh: no module at $module" >&2; exit 1; }
done

# One line per resource: "TYPE/NAME/LANGUAGE", a tab, its data as one string of hex digits.
resources() {
  "$readobj" --coff-resources "$1" | awk '
    /^ *Type: /     { type = $0; sub(/^ *Type: /, "", type); sub(/ \[$/, "", type) }
    /^ *Name: /     { name = $0; sub(/^ *Name: /, "", name); sub(/ \[$/, "", name) }
    /^ *Language: / { language = $0; sub(/^ *Language: /, "", language); sub(/ \[$/, "", language) }
    /^ *Data \($/   { inside = 1; data = ""; next }
    inside && /^ *\)$/ { inside = 0; print type "/" name "/" language "\t" data; next }
    inside { line = $0; sub(/^ *[0-9A-F]+: /, "", line); sub(/ *\|.*$/, "", line); gsub(/ /, "", line); data = data line }'
}

# '8BIM' followed by the property key, as the property list stores them.
x64_entry=4D49423834363638    # '8BIM' '8664'
arm64_entry=4D49423834366177  # '8BIM' 'wa64'

x64_resources=$(resources "$x64")
arm64_resources=$(resources "$arm64")
if [ -z "$x64_resources" ]; then
  echo "check-module-resources.sh: $x64 has no resources" >&2
  exit 1
fi
status=0
count() { grep -o "$2" <<<"$1" | wc -l; }
if [ "$(count "$x64_resources" "$x64_entry")" != 1 ] || [ "$(count "$x64_resources" "$arm64_entry")" != 0 ]; then
  echo "$x64 does not name its entry point under '8664' once and under 'wa64' never" >&2
  status=1
fi
if [ "$(count "$arm64_resources" "$arm64_entry")" != 1 ] || [ "$(count "$arm64_resources" "$x64_entry")" != 0 ]; then
  echo "$arm64 does not name its entry point under 'wa64' once and under '8664' never" >&2
  status=1
fi
# What differs, named by resource: one that only one module has, or one whose data differ.
differing=$(awk -F '\t' 'NR == FNR { x64[$1] = $2; next }
    { seen[$1] = 1; if (!($1 in x64)) print "only in the ARM64 module: " $1; else if (x64[$1] != $2) print "different data: " $1 }
    END { for (key in x64) if (!(key in seen)) print "only in the x64 module: " key }' \
  <(printf '%s\n' "$x64_resources") <(printf '%s\n' "${arm64_resources//$arm64_entry/$x64_entry}"))
if [ -n "$differing" ]; then
  printf '%s\n' "$differing" >&2
  echo "$x64 and $arm64 differ in more than the entry-point property" >&2
  status=1
fi
[ $status -eq 0 ] && echo "$(wc -l <<<"$x64_resources") resources the same, the entry point under 'wa64' instead of '8664'"
exit $status
