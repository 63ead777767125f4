#!/usr/bin/env bash
# The launcher never deletes through a link, made here from the Linux side
# (Wine's CreateSymbolicLink makes none). Under Wine a directory link cannot
# be removed as a link (RemoveDirectoryA fails with 145) and a file link
# shows its target's attributes (DeleteFileA would delete the target): a
# leftover staging directory that is, or holds, such a link is left in
# place, what it points to stays, and the run stages into a fresh sibling
# (RavWLSetup.1) that it deletes afterwards. On Windows both links are
# removed as links and the fixed name is used.
#   links_test.sh STATE_DIR BIN_DIR
set -euo pipefail
state=$1
bin=$2
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d "$(dirname "$state")/links-test.XXXXXX")
trap 'rm -rf "$work"' EXIT
failures=0
expect() {  # expect DESCRIPTION COMMAND...
  if "${@:2}"; then echo "ok: $1"; else echo "FAILED: $1"; failures=$((failures + 1)); fi
}

mkdir -p "$work/package" "$work/temp" "$work/outside"
cp "$bin/launcher.exe" "$work/package/Setup.exe"
cp "$bin/recorder.exe" "$work/package/prog.exe"
printf '[LAUNCHLIST]\r\nFILE0=prog.exe\r\n' >"$work/package/launcher.ini"
echo "keep me" >"$work/outside/precious.txt"

windows_path() { "$here/../../tools/wine-run.sh" "$state" winepath -w "$1" | tr -d '\r'; }
records() { if [ -f "$work/records.txt" ]; then grep -c '^cmdline=' "$work/records.txt"; else echo 0; fi; }

run_setup() {
  # TMP and TEMP come from the Windows environment, so set them there.
  local temp_win
  temp_win=$(windows_path "$work/temp")
  "$here/../../tools/wine-run.sh" "$state" cmd /c \
    "set TMP=$temp_win&& set TEMP=$temp_win&& set RAV_RECORDER_LOG=$(windows_path "$work/records.txt")&& set RAV_RECORDER_SNAPSHOT=$(windows_path "$work/snapshot")&& $(windows_path "$work/package/Setup.exe")" \
    >/dev/null 2>&1 || true
}
staged_in_sibling() {  # the last run's program ran from RavWLSetup.1
  tail -n 4 "$work/records.txt" | grep -qi '^image=.*\\RavWLSetup\.1\\prog\.exe'
}

# 1. The staging directory itself is a link to a directory outside.
ln -s "$work/outside" "$work/temp/RavWLSetup"
run_setup
expect "a staging directory that is a link: what it points to stays" grep -q "keep me" "$work/outside/precious.txt"
expect "a staging directory that is a link: nothing is copied through it" test ! -e "$work/outside/prog.exe"
expect "a staging directory that is a link: the link stays" test -L "$work/temp/RavWLSetup"
expect "a staging directory that is a link: the setup ran from a fresh sibling" staged_in_sibling
expect "a staging directory that is a link: the sibling is gone after the run" test ! -e "$work/temp/RavWLSetup.1"
rm "$work/temp/RavWLSetup"

# 2. A staging directory left by an earlier run that holds a directory link.
mkdir -p "$work/temp/RavWLSetup/sub"
ln -s "$work/outside" "$work/temp/RavWLSetup/sub/link"
run_setup
expect "a directory link in a leftover: what it points to stays" grep -q "keep me" "$work/outside/precious.txt"
expect "a directory link in a leftover: the link stays" test -L "$work/temp/RavWLSetup/sub/link"
expect "a directory link in a leftover: the setup ran from a fresh sibling" staged_in_sibling
expect "a directory link in a leftover: the sibling is gone after the run" test ! -e "$work/temp/RavWLSetup.1"
rm -rf "$work/temp/RavWLSetup"

# 3. A leftover that holds a file link: under Wine the listing shows the
# target's attributes, and DeleteFileA on the link deletes the target.
mkdir -p "$work/temp/RavWLSetup"
ln -s "$work/outside/precious.txt" "$work/temp/RavWLSetup/file-link.txt"
echo "stale" >"$work/temp/RavWLSetup/stale.txt"
run_setup
expect "a file link in a leftover: what it points to stays" grep -q "keep me" "$work/outside/precious.txt"
expect "a file link in a leftover: the link stays" test -L "$work/temp/RavWLSetup/file-link.txt"
expect "a file link in a leftover: its plain files go" test ! -e "$work/temp/RavWLSetup/stale.txt"
expect "a file link in a leftover: the setup ran from a fresh sibling" staged_in_sibling
rm -rf "$work/temp/RavWLSetup"

# 4. A link in the package is not copied: the staged tree never holds one.
ln -s "$work/outside" "$work/package/linked"
rm -rf "$work/snapshot"  # only this run's copy
before=$(records)
run_setup
expect "a link in the package: what it points to stays" grep -q "keep me" "$work/outside/precious.txt"
expect "a link in the package: the setup ran" test "$(records)" = $((before + 1))
expect "a link in the package: its contents were not staged" test ! -e "$work/snapshot/linked"
expect "a link in the package: the staged copy was there" test -e "$work/snapshot/launcher.ini"
expect "a link in the package: the staging directory is gone after the run" test ! -e "$work/temp/RavWLSetup"

exit "$failures"
