#!/usr/bin/env bash
# The signed package, as the release machine makes it: a throw-away code-signing certificate made
# here with openssl, scripts/package.sh given it through ZK_SIGN_PFX, ZK_SIGN_PASSWORD and ZK_SIGN_CA,
# then
#  - osslsigncode verify accepts, against that certificate, the module in the zip, the installer,
#    and the uninstaller that the installer writes (installed in the test prefix);
#  - SHA256SUMS in the zip matches the signed module, and package.sh's summary says of each program
#    what the verifier says ("signed (verification: ok)"), the uninstaller inside the installer
#    among them, with the SHA-256 of the very file that gets installed;
#  - the password reached neither CMake (and so no compiler) nor makensis through the environment
#    (stand-ins ahead of them on PATH record theirs), and no file holds it afterwards;
#  - the signed module, installed by the signed installer, loads in the stand-in host and runs
#    "Do It" with the stand-in companion; the signed uninstaller then removes it.
#   signed-package-test.sh WORKDIR PREFIX PROGRAMS RELEASE_BUILD
#   (PROGRAMS: the folder of zkhost.exe and the companion; RELEASE_BUILD: package.sh's --build folder)
set -euo pipefail
usage="usage: signed-package-test.sh WORKDIR PREFIX PROGRAMS RELEASE_BUILD"
work=$(realpath -m "${1:?$usage}")
prefix=${2:?$usage}
programs=${3:?$usage}
build=$(realpath -m "${4:?$usage}")
repository=$(cd "$(dirname "$0")/../.." && pwd)
run() { "$repository/scripts/wine-run" "$prefix" "$@"; }

failures=0
check() {  # WHAT COMMAND...: one line per check, the command's own output only when it fails
  local what=$1 output
  shift
  if output=$("$@" 2>&1); then
    echo "ok    $what"
  else
    echo "FAIL  $what"
    printf '%s\n' "$output" | sed 's/^/      /'
    failures=$((failures + 1))
  fi
}

rm -rf "$work"
mkdir -p "$work"
# --- The certificate: a key and a self-signed code-signing certificate, bundled with a password.
# The password goes to openssl through the environment, never on its command line.
export ZK_SIGN_PASSWORD="throw-away $RANDOM password"
openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Zentrast Kolvane test signing" \
  -addext "keyUsage=critical,digitalSignature" -addext "extendedKeyUsage=codeSigning" \
  -keyout "$work/key.pem" -out "$work/certificate.pem" 2>"$work/openssl.log"
openssl pkcs12 -export -in "$work/certificate.pem" -inkey "$work/key.pem" -passout env:ZK_SIGN_PASSWORD \
  -out "$work/signing.pfx" 2>>"$work/openssl.log"
rm "$work/key.pem"
export ZK_SIGN_PFX="$work/signing.pfx"
export ZK_SIGN_CA="$work/certificate.pem"
unset ZK_SIGN_TIMESTAMP_URL  # no time-stamp server is reachable here

# --- Stand-ins for CMake and makensis that record their environment, then run the real ones.
mkdir -p "$work/bin" "$work/environments" "$work/tmp"
for tool in cmake makensis; do
  cat >"$work/bin/$tool" <<EOF
#!/bin/sh
env >"$work/environments/$tool.\$\$"
exec $(command -v "$tool") "\$@"
EOF
  chmod +x "$work/bin/$tool"
done

# --- The package.
if ! PATH="$work/bin:$PATH" TMPDIR="$work/tmp" "$repository/scripts/package.sh" --out "$work/dist" --build "$build" \
  >"$work/package.out" 2>"$work/package.log"; then
  tail -n 30 "$work/package.log"
  echo "FAIL  scripts/package.sh with a certificate"
  exit 1
fi
password_kept_out() {
  ls "$work/environments/"cmake.* "$work/environments/"makensis.* >/dev/null || return 1
  ! grep -rlF -- "$ZK_SIGN_PASSWORD" "$work/environments" "$work/tmp"
}
check "the password reached neither CMake nor makensis, and no file holds it" password_kept_out
zip_file=$(grep '^/.*-win64\.zip$' "$work/package.out")
setup=$(grep '^/.*Setup\.exe$' "$work/package.out")
verify() { osslsigncode verify -CAfile "$work/certificate.pem" -in "$1"; }

mkdir "$work/unzipped"
(cd "$work/unzipped" && unzip -q "$zip_file")
module="$work/unzipped/ZentrastKolvane.8li"
check "the module in the zip carries a valid signature" verify "$module"
check "the installer carries a valid signature" verify "$setup"
check "SHA256SUMS matches the signed module" bash -c "cd '$work/unzipped' && sha256sum -c --strict SHA256SUMS"
summary_says() {  # FILE LABEL: the summary's line for FILE, by its SHA-256, says what the verifier said
  grep -Eq "^$(sha256sum <"$1" | cut -d' ' -f1)  signed \(verification: ok\) +$2\$" "$work/package.out" ||
    { cat "$work/package.out"; return 1; }
}
check "package.sh's summary: the module signed, with its SHA-256" summary_says "$module" "ZentrastKolvane.8li \\(in .*\\)"
check "package.sh's summary: the installer signed, with its SHA-256" summary_says "$setup" "$(basename "$setup")"

# --- Installed in the test prefix: the uninstaller it writes, and the module in the host.
plugins_folder='C:\Program Files\Common Files\Adobe\Plug-ins\CC\Zentrast Kolvane'
drive_c="$prefix/drive_c"
installed="$drive_c/Program Files/Common Files/Adobe/Plug-ins/CC/Zentrast Kolvane/ZentrastKolvane.8li"
uninstaller_folder="$drive_c/Program Files/Zentrast Kolvane Plug-In"
companion_folder="$drive_c/Program Files/ZentrastKolvane4"
cleanup() {
  rm -rf "$companion_folder"
  # Whatever the uninstall left, for the tests that come next.
  rm -f "$installed"
  rmdir "$(dirname "$installed")" 2>/dev/null || true
  rm -rf "$uninstaller_folder"
  run reg delete 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\ZentrastKolvanePlugin' /reg:64 /f >/dev/null 2>&1 || true
}
trap cleanup EXIT
cleanup

check "the signed installer installs silently" run "$setup" /S
check "the installed module is the signed one" cmp "$module" "$installed"
check "the uninstaller it wrote carries a valid signature" verify "$uninstaller_folder/Uninstall.exe"
check "package.sh's summary: the uninstaller in the installer signed, with the installed one's SHA-256" \
  summary_says "$uninstaller_folder/Uninstall.exe" "Uninstall\\.exe \\(in $(basename "$setup")\\)"

mkdir -p "$companion_folder"
cp "$programs/ZentrastKolvane.exe" "$companion_folder/"
run "$programs/zkhost.exe" --plugins "$plugins_folder" --doit "Zentrast Kolvane..." >"$work/doit.out" 2>&1 || true
ran_doit() {
  grep -q 'request: "CheckAllDocumentsSaved"' "$work/doit.out" && grep -q 'PS Photoshop/Do It -> 0' "$work/doit.out" ||
    { cat "$work/doit.out"; return 1; }
}
check "the signed module runs \"Do It\" in the stand-in host" ran_doit

# The quiet uninstall as the entry has it: a command line that the shell cannot hand over as it is
# (Wine would quote its last argument), so a batch file runs it.
cat >"$drive_c/zk-quiet-uninstall.cmd" <<'EOF'
@"C:\Program Files\Zentrast Kolvane Plug-In\Uninstall.exe" /S _?=C:\Program Files\Zentrast Kolvane Plug-In
@exit /b %ERRORLEVEL%
EOF
uninstalled() { run cmd.exe /c 'C:\zk-quiet-uninstall.cmd' && [ ! -e "$installed" ]; }
check "the signed uninstaller removes the module" uninstalled
rm -f "$drive_c/zk-quiet-uninstall.cmd"

if [ $failures -ne 0 ]; then
  echo "$failures check(s) failed; the package is in $work"
  exit 1
fi
echo "the signed package holds"
