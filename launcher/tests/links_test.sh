#!/usr/bin/env bash
# The launcher never deletes through a link, made here from the Linux side
# (Wine's CreateSymbolicLink makes none): a leftover staging directory that
# is a link, or that holds one, is left alone, and what they point to stays.
# Wine's own delete calls follow links, so a deletion through one would
# destroy the directory it points to.
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
    "set TMP=$temp_win&& set TEMP=$temp_win&& set RAV_RECORDER_LOG=$(windows_path "$work/records.txt")&& $(windows_path "$work/package/Setup.exe")" \
    >/dev/null 2>&1 || true
}

# 1. The staging directory itself is a link to a directory outside.
ln -s "$work/outside" "$work/temp/RavWLSetup"
run_setup
expect "a staging directory that is a link: what it points to stays" grep -q "keep me" "$work/outside/precious.txt"
expect "a staging directory that is a link: nothing is copied through it" test ! -e "$work/outside/prog.exe"
expect "a staging directory that is a link: the link stays" test -L "$work/temp/RavWLSetup"
expect "a staging directory that is a link: nothing is started" test "$(records)" = 0
rm "$work/temp/RavWLSetup"

# 2. A staging directory left by an earlier run that holds a link.
mkdir -p "$work/temp/RavWLSetup/sub"
ln -s "$work/outside" "$work/temp/RavWLSetup/sub/link"
run_setup
expect "a link inside the staging tree: what it points to stays" grep -q "keep me" "$work/outside/precious.txt"
expect "a link inside the staging tree: the tree is left in place" test -L "$work/temp/RavWLSetup/sub/link"
expect "a link inside the staging tree: nothing is started" test "$(records)" = 0

# 3. A link in the package is not copied: the staged tree never holds one.
rm -rf "$work/temp/RavWLSetup"
ln -s "$work/outside" "$work/package/linked"
run_setup
expect "a link in the package: what it points to stays" grep -q "keep me" "$work/outside/precious.txt"
expect "a link in the package: the setup ran" test "$(records)" = 1
expect "a link in the package: the staging directory is gone after the run" test ! -e "$work/temp/RavWLSetup"

exit "$failures"
