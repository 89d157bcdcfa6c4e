#!/usr/bin/env bash
# The host check as a person runs it: ZentrastKolvaneHostCheck.8li in the stand-in host zkhost.exe,
# which answers its windows (--answer), with a person's document open and unsaved, under the host
# answers a case names. Each case checks the report (ZKVHostCheck.txt in the prefix's Documents
# folder) with scripts/host-check-diff.sh, and what zkhost says of the run: "Do It" answered 0,
# every host object and suite released, the person's document open and unsaved as before.
#   host-check-runs.sh CASE PREFIX ZKHOST.EXE PLUGINS_FOLDER SAMPLE.png
# CASE: documented, cancelled-open, converter-dialog, declined, without-alias-suite, refused-suite,
# unreadable-documents, refused-cloud-question.
set -euo pipefail
case_name=${1:?usage: host-check-runs.sh CASE PREFIX ZKHOST.EXE PLUGINS_FOLDER SAMPLE.png}
prefix=${2:?} zkhost=${3:?} plugins=${4:?} sample=${5:?}
root=$(cd "$(dirname "$0")/../.." && pwd)
diff_script=$root/scripts/host-check-diff.sh
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() {
  echo "FAILED ($case_name): $*" >&2
  exit 1
}
windows_path() { printf 'Z:%s' "${1//\//\\}"; }

# The raw file the person picks: in a folder and under a name the ANSI code page (1252) holds but
# seven-bit text does not, so that the encodings of paths and titles can be told apart.
picked_folder="$prefix/drive_c/zk-host-check/Jürgen"
mkdir -p "$picked_folder"
cp "$sample" "$picked_folder/Fenster ü.png"
picked='C:\zk-host-check\Jürgen\Fenster ü.png'
person='title=Hafen ü.psd|file=C:\Fotos\Jürgen\Hafen ü.psd|width=600|height=400|dirty=yes'
agree=(--answer yes --answer "file=$picked" --answer ok)

user_dir=$(find "$prefix/drive_c/users" -mindepth 1 -maxdepth 1 -type d ! -name Public | head -n 1)
report_file="$user_dir/Documents/ZKVHostCheck.txt"

# Runs the check once; the host's account goes to $work/host.txt, the report to $work/$1.txt.
run_check() {
  local name=$1
  shift
  rm -f "$report_file"
  "$root/scripts/wine-run" "$prefix" "$zkhost" --plugins "$(windows_path "$plugins")" --document "$person" \
    --doit "Zentrast Kolvane Host Check..." "$@" >"$work/host.txt" 2>&1 || fail "zkhost ended with $? (see below)
$(cat "$work/host.txt")"
  tr -d '\r' <"$work/host.txt" >"$work/host-$name.txt"
  [ -f "$report_file" ] || fail "no report in the Documents folder; zkhost said:
$(cat "$work/host-$name.txt")"
  cp "$report_file" "$work/$name.txt"
  local host
  host=$(<"$work/host-$name.txt")
  grep -q '^  PS Photoshop/Do It -> 0$' <<<"$host" || fail "\"Do It\" did not answer 0:
$host"
  grep -q '^Host objects left: none$' <<<"$host" || fail "host objects left: $(grep '^Host objects left' <<<"$host")"
  awk '/^Suites:/ { inside = 1; next } inside && /^  / { split($0, n, /acquired |, released /); if (n[2] != n[3]) { print; bad = 1 } }
       inside && !/^  / { inside = 0 } END { exit bad }' <<<"$host" || fail "a suite was not released as often as acquired:
$host"
  local after
  after=$(sed -n '/^Open documents after the run:/,$p' <<<"$host" | sed 1d)
  [ "$after" = '  "Hafen ü.psd" "C:\Fotos\Jürgen\Hafen ü.psd", unsaved changes' ] ||
    fail "the person's document is not as it was; open after the run:
$after"
}

# The report's answer line of a section, e.g. answer E1 "status".
answer() {
  awk -v id="[$2]" -v name="$3: " 'index($0, id " ") == 1 { inside = 1; next } /^\[/ { inside = 0 }
    inside && index($0, name) == 1 { print substr($0, length(name) + 1); exit }' <(tr -d '\r' <"$work/$1.txt")
}
expect_answer() {
  local got
  got=$(answer "$1" "$2" "$3")
  [ "$got" = "$4" ] || fail "[$2] $3: expected \"$4\", the report says \"$got\""
}
# What host-check-diff.sh prints for two reports, and that it says they differ.
expect_differ() {
  local status=0
  "$diff_script" "$work/$1.txt" "$work/$2.txt" >"$work/diff.txt" || status=$?
  [ "$status" -eq 1 ] || fail "host-check-diff.sh of $1 and $2 answered $status, not 1 (they differ)"
}
expect_in_diff() {
  grep -qxF -- "$1" "$work/diff.txt" || fail "host-check-diff.sh does not show \"$1\"; it printed:
$(cat "$work/diff.txt")"
}

case "$case_name" in
  documented)
    run_check documented "${agree[@]}"
    status=0
    "$diff_script" "$work/documented.txt" >"$work/diff.txt" || status=$?
    [ "$status" -eq 0 ] && ! [ -s "$work/diff.txt" ] ||
      fail "the report differs from the stand-in's documented answers (status $status):
$(cat "$work/diff.txt")"
    status=0
    "$diff_script" "$work/documented.txt" "$work/documented.txt" >"$work/diff.txt" || status=$?
    [ "$status" -eq 0 ] && ! [ -s "$work/diff.txt" ] || fail "a report differs from itself: $(cat "$work/diff.txt")"
    # Every question of the documented answers is a row of the table, or the check's own account.
    for id in $(grep -o '^\[[A-Z0-9]*\]' <(sed -n '/answers begin -->/,/answers end -->/p' "$root/docs/host-fidelity.md") | tr -d '[]'); do
      [ "$id" = C1 ] || grep -q "^| $id |" "$root/docs/host-fidelity.md" || fail "question $id has no row in docs/host-fidelity.md"
    done
    ;;
  cancelled-open)
    run_check documented "${agree[@]}"
    run_check cancelled --cancel-raw-open "${agree[@]}"
    expect_differ documented cancelled
    expect_in_diff "[E2] 'Opn ' with the raw converter's dialog shown, cancelled by the person"
    expect_in_diff "  + result: none"
    expect_answer cancelled E2 "documents added" 0
    expect_answer cancelled E2 "the active document" "the one active before"
    expect_answer cancelled C1 "closed without saving" 1
    ;;
  converter-dialog)
    # The converter asks on each open that is not silent: OK twice (the open, the open again), OK to
    # the check's request to press Cancel, then Cancel in the converter.
    run_check dialog --raw-converter-dialog --answer yes --answer "file=$picked" --answer ok --answer ok --answer ok \
      --answer cancel
    grep -q '^  modal window "Raw converter", answered: cancel$' "$work/host-dialog.txt" ||
      fail "the converter's dialog was not cancelled: $(cat "$work/host-dialog.txt")"
    expect_answer dialog E5 "dialog shown" yes
    expect_answer dialog E2 "dialog shown" yes
    expect_answer dialog E2 "result" none
    expect_answer dialog E2 "documents added" 0
    expect_answer dialog E1 "documents added" 1
    ;;
  declined)
    run_check declined
    expect_answer declined E1 "not asked" "the person did not agree to questions that open documents"
    expect_answer declined E7 "not asked" "the person did not agree to questions that open documents"
    expect_answer declined S1 '"df135115-c769-11d0-8079-00c04fd7ec47" version 3' "granted, released 0"
    # Handing the host an alias it did not make waits for the person's agreement too.
    expect_answer declined P1 "not asked" "the person did not agree to questions that hand the host what it did not make"
    expect_answer declined P7 "open documents" "IsCloudFile 0; the plug-in reads the path"
    ;;
  without-alias-suite)
    run_check noalias --no-alias-suite "${agree[@]}"
    expect_answer noalias P3 '"Photoshop Alias Utility Suite" version 2' "'S!Fd' (0x53214664)"
    expect_answer noalias P3 "the plug-in's own path layer (MakePathAlias, then AliasFilePath)" \
      "not carried: the path cannot reach the host as it is"
    expect_answer noalias P1 "not asked" "the host has no alias suite (version 2) to read an alias back"
    # The picked path goes as 8-bit text in the ANSI code page, and the file opens all the same.
    expect_answer noalias E1 "documents added" 1
    expect_answer noalias P2 "raw document" "cannot tell: no whole path ('S!Fd' (0x53214664))"
    # Without the suite an 8-bit path is a file's only when the file is there: the person's
    # document names no file on this computer, the raw file does.
    expect_answer noalias P7 "open documents" "IsCloudFile: no alias suite; the plug-in reads no path"
    expect_answer noalias P7 "raw document" "IsCloudFile: no alias suite; the plug-in reads a path"
    ;;
  refused-suite)
    # A host without the ZString suite: the questions that need it fail, the check goes on, writes
    # what it learnt and tells the person, and every object is released all the same.
    run_check refused --refuse-suite "AS ZString Suite" "${agree[@]}"
    expect_answer refused S1 '"AS ZString Suite" version 1' "'S!Fd' (0x53214664)"
    expect_answer refused P10 "open documents" "cannot tell: GetZString 'S!Fd' (0x53214664)"
    expect_answer refused E7 "failed" "a suite it needs cannot be had ('S!Fd' (0x53214664))"
    expect_answer refused E1 "documents added" 1
    expect_answer refused C1 "the documents open before" "as they were"
    grep -q 'The host check is done. Its report is in' "$work/host-refused.txt" || fail "no message at the end"
    ;;
  unreadable-documents)
    # A host whose Get fails: the check cannot tell its own documents from the person's, so it
    # opens and makes none.
    run_check unreadable --fail PSActionControl.Get=-1715 "${agree[@]}"
    expect_answer unreadable A1 "'NmbD' status" -1715
    expect_answer unreadable E1 "not asked" "the open documents could not all be read (-1715), so the documents the check adds could not be told from the person's"
    grep -q '^  modal window "Zentrast Kolvane Host Check: pick a raw file to open"' "$work/host-unreadable.txt" &&
      fail "the check asked for a file it would not open"
    ;;
  refused-cloud-question)
    # A host that refuses IsCloudFile for a document's file reference leaves the plug-in no file to
    # check a raw open against: every "ReadRaw" would fail. The report shows it.
    run_check cloudrefused --fail PSAlias.IsCloudFile=Parm "${agree[@]}"
    expect_answer cloudrefused P7 "open documents" "IsCloudFile 'Parm' (0x5061726D); the plug-in reads no path"
    expect_answer cloudrefused P7 "raw document" "IsCloudFile 'Parm' (0x5061726D); the plug-in reads no path"
    expect_answer cloudrefused E1 "documents added" 1
    ;;
  *)
    fail "unknown case"
    ;;
esac
echo "host check, $case_name: as expected"
