#!/usr/bin/env bash
# The import check and the release must refuse a program that imports a
# function the oldest Windows lacks.
#
#   offender_test.sh OFFENDER CLEAN
#
# OFFENDER imports GetTickCount64 (fixtures/newer_import); CLEAN is a
# shipped program of the tree, which imports nothing newer.
#   1. tools/imports/check.sh passes CLEAN (exit 0), and names the
#      offender's import and exits 1 when OFFENDER is among its programs.
#   2. tools/release.sh over a build directory whose release trees hold
#      CLEAN in every place releases it; with OFFENDER as Setup.exe it fails
#      and leaves no release at all (not the one before it, not a partial one).
set -uo pipefail

offender=${1:?usage: $0 OFFENDER CLEAN}
clean=${2:?usage: $0 OFFENDER CLEAN}
tools=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAILED: $*"; failures=$((failures + 1)); }
unset SIGN_CERT SIGN_KEY SIGN_PASS

status=0
"$tools/imports/check.sh" "$clean" >"$work/clean.log" 2>&1 || status=$?
[ "$status" = 0 ] || { fail "check.sh refused $clean (exit $status)"; cat "$work/clean.log"; }

status=0
"$tools/imports/check.sh" "$clean" "$offender" >"$work/offender.log" 2>&1 || status=$?
[ "$status" = 1 ] || fail "check.sh answered $status for a program with a newer import, not 1"
grep -qF 'kernel32.dll!GetTickCount64 (first in Windows 6.0)' "$work/offender.log" ||
  fail "check.sh did not name the newer import"
cat "$work/offender.log"

# A build directory with the release trees' programs in their places;
# Setup.exe is the program given.
make_build() {
  mkdir -p "$1/release-i686/bin" "$1/release-x86_64/bin"
  cp "$2" "$1/release-i686/bin/launcher.exe"
  cp "$clean" "$1/release-i686/bin/ravuninst.exe"
  cp "$clean" "$1/release-i686/bin/ravtrace.exe"
  cp "$clean" "$1/release-x86_64/bin/ravcoinst.dll"
}

make_build "$work/good" "$clean"
if "$tools/release.sh" "$work/good" >"$work/good.log" 2>&1 && [ -f "$work/good/release/SHA256SUMS" ]; then
  echo "release of programs without a newer import: made"
else
  fail "the release of programs without a newer import failed"; cat "$work/good.log"
fi

make_build "$work/bad" "$offender"
mkdir -p "$work/bad/release"
echo "an earlier release" >"$work/bad/release/SHA256SUMS"
if "$tools/release.sh" "$work/bad" >"$work/bad.log" 2>&1; then
  fail "release.sh released a program with a newer import"; cat "$work/bad.log"
else
  echo "release with a newer import: refused"
fi
[ ! -e "$work/bad/release" ] || fail "a refused release left build/release behind"
[ ! -e "$work/bad/release.partial" ] || fail "a refused release left its partial release behind"

[ "$failures" = 0 ]
