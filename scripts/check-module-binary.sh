#!/usr/bin/env bash
# Checks a built module: it is a DLL for the architecture asked for, exports exactly the three entry
# names, undecorated, and depends on system DLLs only (static runtime).
#   check-module-binary.sh MODULE [x64|arm64]      (default x64)
# The x64 build links the system's C runtime (msvcrt); the ARM64 build links the Universal C
# Runtime, which every Windows 10 and 11 on ARM has (ucrtbase and its api-ms-win-crt-* sets).
# Read with LLVM's tools, which open both architectures.
set -euo pipefail
module=${1:?usage: check-module-binary.sh MODULE [x64|arm64]}
arch=${2:-x64}
case "$arch" in
  x64) machine=0x8664 runtime='msvcrt' ;;
  arm64) machine=0xAA64 runtime='ucrtbase|api-ms-win-crt-[a-z0-9-]+' ;;
  *) echo "check-module-binary.sh: unknown architecture $arch (x64 or arm64)" >&2; exit 2 ;;
esac
readobj=/usr/lib/llvm-19/bin/llvm-readobj
[ -x "$readobj" ] || { echo "check-module-binary.sh: $readobj is missing (scripts/ensure-packages.sh installs llvm-19)" >&2; exit 1; }
dump=$("$readobj" --file-headers --coff-exports --coff-imports "$module")

# The names in one kind of block: "Export {", "Import {", "DelayImport {".
names_in() {
  printf '%s\n' "$dump" | awk -v block="$1" '
    $0 ~ "^" block " \\{" { inside = 1; next }
    /^}/ { inside = 0 }
    inside && $1 == "Name:" { print $2 }'
}

status=0
found_machine=$(printf '%s\n' "$dump" | sed -n 's/^ *Machine: .*(\(0x[0-9A-Fa-f]*\))$/\1/p')
if [ "${found_machine^^}" != "${machine^^}" ]; then
  echo "machine ${found_machine:-unknown}, not $machine ($arch)" >&2
  status=1
fi

exports=$(names_in Export | sort | tr '\n' ' ')
if [ "$exports" != "AutoPluginMain GenericProc TestProc " ]; then
  echo "unexpected exports: $exports" >&2
  status=1
fi

# Windows finds DLLs whatever the letter case; import libraries spell them either way.
system="^(kernel32|user32|gdi32|advapi32|shell32|comdlg32|$runtime)\\.dll\$"
for dll in $(names_in Import) $(names_in DelayImport); do
  if ! [[ "${dll,,}" =~ $system ]]; then
    echo "depends on a non-system DLL: $dll" >&2
    status=1
  fi
done
[ $status -eq 0 ] && echo "machine $machine ($arch); exports: $exports; imports: system DLLs only"
exit $status
