#!/usr/bin/env bash
# A packaging that cannot finish, or cannot tell whether a file is signed, or whose signatures do
# not verify, fails and leaves dist/ exactly as it was (here: an earlier release, and an earlier
# build under this version's names).
# Each case runs scripts/package.sh with stand-ins ahead of the real tools on PATH:
#  - osslsigncode that fails its Nth signing, or "signs" by copying the file unchanged and reporting
#    success; its verify and every other use go to the real one, unless the case breaks verify;
#  - objdump that fails on the installer, with the same case (the script once read "signed" from an
#    objdump that failed).
# The signing order is the module, the host check's module, the uninstaller (inside makensis), the
# installer (makensis's last step). The script once wrote the zips to dist/ before it made the
# installer, reported "its uninstaller signed" from the option alone, and a failed objdump as
# "signed".
#   package-fails-closed-test.sh WORKDIR RELEASE_BUILD    (RELEASE_BUILD: package.sh's --build folder)
set -euo pipefail
work=$(realpath -m "${1:?usage: package-fails-closed-test.sh WORKDIR RELEASE_BUILD}")
build=$(realpath -m "${2:?usage: package-fails-closed-test.sh WORKDIR RELEASE_BUILD}")
repository=$(cd "$(dirname "$0")/../.." && pwd)
"$repository/scripts/ensure-packages.sh"

rm -rf "$work"
mkdir -p "$work/bin" "$work/dist"
password="throw-away $RANDOM password"
openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Zentrast Kolvane test signing" \
  -addext "keyUsage=critical,digitalSignature" -addext "extendedKeyUsage=codeSigning" \
  -keyout "$work/key.pem" -out "$work/certificate.pem" 2>"$work/openssl.log"
printf '%s' "$password" >"$work/password"
openssl pkcs12 -export -in "$work/certificate.pem" -inkey "$work/key.pem" -passout file:"$work/password" \
  -out "$work/signing.pfx" 2>>"$work/openssl.log"
rm "$work/key.pem" "$work/password"

cat >"$work/bin/osslsigncode" <<EOF
#!/usr/bin/env bash
real=$(command -v osslsigncode)
if [ "\$1" = sign ]; then
  count=\$(( \$(cat "$work/signings" 2>/dev/null || echo 0) + 1 ))
  echo \$count >"$work/signings"
  if [ "\$count" = "\${ZK_TEST_FAULT_AT:-}" ]; then
    case "\$ZK_TEST_FAULT" in
      fails) echo "osslsigncode (test): signing number \$count fails" >&2; exit 1 ;;
      signs-nothing)
        while [ \$# -gt 0 ]; do
          case "\$1" in -in) in=\$2; shift ;; -out) out=\$2; shift ;; esac
          shift
        done
        cp "\$in" "\$out"
        echo Succeeded
        exit 0 ;;
    esac
  fi
elif [ "\$1" = verify ] && [ "\${ZK_TEST_FAULT:-}" = tools-broken ]; then
  echo "osslsigncode (test): broken" >&2
  exit 3
fi
exec "\$real" "\$@"
EOF
cat >"$work/bin/x86_64-w64-mingw32-objdump" <<EOF
#!/usr/bin/env bash
if [ "\${ZK_TEST_FAULT:-}" = tools-broken ] && [[ "\${*: -1}" = *Setup.exe ]]; then
  echo "objdump (test): broken" >&2
  exit 1
fi
exec $(command -v x86_64-w64-mingw32-objdump) "\$@"
EOF
chmod +x "$work/bin/"*

version=$("$repository/scripts/version.sh")
printf 'an earlier release\n' >"$work/dist/ZentrastKolvane-9.9-win64.zip"
printf 'an earlier build of this version\n' >"$work/dist/ZentrastKolvane-$version-win64.zip"
printf 'an earlier build of this version\n' >"$work/dist/ZentrastKolvane-$version-Setup.exe"
dist_state() { (cd "$work/dist" && find . -printf '%p %s %T@\n' | LC_ALL=C sort && find . -type f -exec sha256sum {} + | LC_ALL=C sort); }
before=$(dist_state)

failures=0
# run_case WHAT SIGNING FAULT AT EXPECTED: package.sh must fail, say EXPECTED (an extended regular
# expression) on its standard error, and leave dist/ and the password as they were. SIGNING:
# unsigned, signed (the test's certificate in ZK_SIGN_CA), signed-untrusted (no ZK_SIGN_CA: the
# self-made certificate verifies against nothing the system trusts).
run_case() {
  local what=$1 signed=$2 fault=$3 at=$4 expected=$5 status=0 problems=()
  rm -f "$work/signings"
  rm -rf "$work/tmp"
  mkdir "$work/tmp"
  local environment=(PATH="$work/bin:$PATH" TMPDIR="$work/tmp" ZK_TEST_FAULT="$fault" ZK_TEST_FAULT_AT="$at")
  if [ "$signed" != unsigned ]; then environment+=(ZK_SIGN_PFX="$work/signing.pfx" ZK_SIGN_PASSWORD="$password"); fi
  if [ "$signed" = signed ]; then environment+=(ZK_SIGN_CA="$work/certificate.pem"); fi
  env -u ZK_SIGN_PFX -u ZK_SIGN_PASSWORD -u ZK_SIGN_CA -u ZK_SIGN_TIMESTAMP_URL "${environment[@]}" \
    "$repository/scripts/package.sh" --out "$work/dist" --build "$build" >"$work/out" 2>"$work/log" || status=$?
  [ "$status" -ne 0 ] || problems+=("package.sh ended with 0")
  grep -Eq "$expected" "$work/log" || problems+=("its messages do not say /$expected/")
  if [ "$(dist_state)" != "$before" ]; then
    problems+=("dist/ changed: $( (diff <(echo "$before") <(dist_state) || true) | grep '^[<>]' | head -n 6 | tr '\n' ' ')")
  fi
  if grep -rlF -- "$password" "$work/tmp" >/dev/null 2>&1; then problems+=("the password was left in a file"); fi
  if [ -e "$build/staging" ]; then problems+=("the staging folder stayed"); fi
  if find "$build" -name '.signing.*' | grep -q .; then problems+=("a signing's temporary folder stayed"); fi
  if ((${#problems[@]})); then
    echo "FAIL  $what"
    printf '      %s\n' "${problems[@]}"
    sed 's/^/      | /' "$work/log" | tail -n 15
    failures=$((failures + 1))
  else
    echo "ok    $what"
  fi
}

run_case "signing fails on the second file (the host check's module)" signed fails 2 'signing number 2 fails'
run_case "signing fails inside makensis (the uninstaller)" signed fails 3 'signing number 3 fails'
run_case "signing fails on the installer, the last step" signed fails 4 'signing number 4 fails'
run_case "the uninstaller's signing reports success and signs nothing" signed signs-nothing 3 \
  'Uninstall\.exe \(in ZentrastKolvane-[^)]*-Setup\.exe\) is unsigned \(no signature found\) although a certificate was given'
run_case "signed with a certificate that verifies against nothing trusted" signed-untrusted none 0 \
  'osslsigncode verify \(exit status [0-9]+\) tells neither a valid signature nor none of .*ZentrastKolvane\.8li'
run_case "unsigned; the tools that tell signed from unsigned fail" unsigned tools-broken 0 \
  'osslsigncode verify \(exit status 3\) tells neither'

if [ $failures -ne 0 ]; then
  echo "$failures case(s) failed"
  exit 1
fi
echo "every failed packaging failed and left dist/ as it was"
