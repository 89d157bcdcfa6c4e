#!/usr/bin/env bash
# Checks the built module: it exports exactly the three entry names, undecorated, and depends on
# system DLLs only (static runtime).
set -euo pipefail
module=${1:?usage: check-module-binary.sh MODULE}
dump=$(x86_64-w64-mingw32-objdump -p "$module")

exports=$(printf '%s\n' "$dump" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' | grep -v 'Table' | grep -o '\] .*' | cut -c3- | sort | tr '\n' ' ')
if [ "$exports" != "AutoPluginMain GenericProc TestProc " ]; then
  echo "unexpected exports: $exports" >&2
  exit 1
fi

# Windows finds DLLs whatever the letter case; import libraries spell them either way.
system='^(kernel32|user32|gdi32|advapi32|shell32|comdlg32|msvcrt)\.dll$'
status=0
for dll in $(printf '%s\n' "$dump" | awk '/DLL Name:/ {print $3}'); do
  if ! [[ "${dll,,}" =~ $system ]]; then
    echo "depends on a non-system DLL: $dll" >&2
    status=1
  fi
done
[ $status -eq 0 ] && echo "exports: $exports; imports: system DLLs only"
exit $status
