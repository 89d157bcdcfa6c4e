#!/usr/bin/env bash
# Compares host check reports (ZKVHostCheck.txt, written by ZentrastKolvaneHostCheck.8li) line by
# line, question by question:
#   host-check-diff.sh REPORT                 where REPORT and the stand-in host's documented answers
#                                             (the block in docs/host-fidelity.md) differ
#   host-check-diff.sh REPORT OTHER_REPORT    where the two reports differ
# Only the answer lines are compared; lines beginning with '#' describe the computer the report was
# made on (paths, titles, raw bytes) and are left out. Prints nothing when they agree; otherwise,
# for each question that differs, its section header and the lines only the first ('-') or only
# the second ('+') has. Exits 0 when they agree, 1 when they differ, 2 when a file cannot be read.
set -euo pipefail
docs=$(cd "$(dirname "$0")/.." && pwd)/docs/host-fidelity.md
usage="usage: host-check-diff.sh REPORT [OTHER_REPORT]"
[ $# -ge 1 ] && [ $# -le 2 ] || { echo "$usage" >&2; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The documented answers: the lines between the two markers in the docs, without the code fence.
documented() {
  awk '/<!-- host check: the stand-in'"'"'s answers begin -->/ { inside = 1; next }
       /<!-- host check: the stand-in'"'"'s answers end -->/ { inside = 0 }
       inside && !/^```/' "$docs"
}

# One line per answer, "ID<TAB>line", and the sections' titles in "ID<TAB>title"; the header's
# format line counts as the answer of a question of its own, "format".
normalise() {
  local name=$1 source=$2
  sed -e 's/\r$//' -e '1s/^\xEF\xBB\xBF//' "$source" | awk -v answers="$work/$name.answers" -v titles="$work/$name.titles" '
    /^\[[A-Za-z0-9]+\] / { id = substr($0, 2, index($0, "]") - 2); print id "\t" substr($0, index($0, "] ") + 2) > titles; seen[id] = 1; next }
    /^#/ || /^[[:space:]]*$/ { next }
    id == "" && /^format: / { print "format\t" $0 > answers; next }
    id != "" { print id "\t" $0 > answers }
    END { close(answers); close(titles) }'
  touch "$work/$name.answers" "$work/$name.titles"
  if ! [ -s "$work/$name.titles" ]; then
    echo "host-check-diff.sh: $3 holds no host check report (no [ID] sections)" >&2
    exit 2
  fi
}

for file in "$@"; do
  [ -r "$file" ] || { echo "host-check-diff.sh: cannot read $file" >&2; exit 2; }
done
if [ $# -eq 1 ]; then
  [ -r "$docs" ] || { echo "host-check-diff.sh: cannot read $docs" >&2; exit 2; }
  documented >"$work/documented.txt"
  normalise left "$work/documented.txt" "the documented answers in $docs"
  normalise right "$1" "$1"
  left_name="the stand-in's documented answers ($docs)"
  right_name=$1
else
  normalise left "$1" "$1"
  normalise right "$2" "$2"
  left_name=$1
  right_name=$2
fi

# Every question either side has, in the order the first names them, then the second's others.
ids=$(cut -f1 "$work/left.titles" "$work/right.titles" | awk '!seen[$0]++')
ids="format"$'\n'"$ids"
differs=0
while IFS= read -r id; do
  awk -F'\t' -v id="$id" '$1 == id { print substr($0, length(id) + 2) }' "$work/left.answers" >"$work/l"
  awk -F'\t' -v id="$id" '$1 == id { print substr($0, length(id) + 2) }' "$work/right.answers" >"$work/r"
  if ! lines=$(diff --old-line-format='  - %L' --new-line-format='  + %L' --unchanged-line-format='' "$work/l" "$work/r"); then
    if [ $differs -eq 0 ]; then
      echo "- $left_name"
      echo "+ $right_name"
    fi
    differs=1
    title=$(awk -F'\t' -v id="$id" '$1 == id { print substr($0, length(id) + 2); exit }' "$work/left.titles" "$work/right.titles")
    echo
    if [ "$id" = format ]; then echo "the report format"; else echo "[$id] $title"; fi
    printf '%s\n' "$lines"
  fi
done <<<"$ids"
exit $differs
