#!/usr/bin/env bash
# The demo: plays the install tooling's life on a sample package in a fresh,
# private Wine prefix, and prints what each program did.
#   tools/demo.sh BUILD_DIR
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
src=$(cd "$(dirname "$0")/.." && pwd)
bin32=$build/i686/bin
demo=$build/demo
failures=0

section() { printf '\n==== %s ====\n' "$*"; }
check() {  # check DESCRIPTION COMMAND...
  if "${@:2}"; then printf '  ok: %s\n' "$1"; else printf '  FAILED: %s\n' "$1"; failures=$((failures + 1)); fi
}

rm -rf "$demo"
mkdir -p "$demo/package"
trap '"$src/tools/wine-session.sh" stop "$demo/session"' EXIT
section "Starting a fresh Wine prefix in $demo/wineprefix (about 20 s)"
"$src/tools/wine-session.sh" start "$demo/session" "$demo/wineprefix"
# shellcheck disable=SC1091
. "$demo/session/env"

section "Sample package (nothing in it is shipped)"
cp "$bin32/launcher.exe" "$demo/package/Setup.exe"
cp "$bin32/sample_setup.exe" "$src/fixtures/sample_package/launcher.ini" "$demo/package/"
(cd "$demo/package" && ls -l)
printf '\nlauncher.ini:\n'
sed 's/^/  /' "$demo/package/launcher.ini"

section "Install: Setup.exe /s, traced with ravtrace"
setup_win=$(winepath -w "$demo/package/Setup.exe")
temp_unix=$(winepath -u "$(wine cmd /c echo %TEMP% | tr -d '\r')")
wine "$bin32/ravtrace.exe" run -- "$setup_win" /s 2>"$demo/setup-exit.txt" | tee "$demo/setup-trace.txt" || true
code=$(sed -n 's/^ravtrace: exit code \([0-9]*\).*/\1/p' "$demo/setup-exit.txt")
printf '\nSetup.exe exit code: %s\n' "$code"
error_code=$(wine reg query 'HKCU\SOFTWARE\RavSetup\Status' /v ErrorCode 2>/dev/null | tr -d '\r' | awk '/ErrorCode/ {print $3}')
printf 'HKCU\\SOFTWARE\\RavSetup\\Status ErrorCode: %s\n' "${error_code:-<none>}"
check "Setup.exe exits with the ErrorCode the sample setup left (3010)" test "$code" = 3010
check "the sample setup ran from the staging directory" grep -q 'Launch String: .*RavWLSetup\\sample_setup.exe' "$demo/setup-trace.txt"
check "the staging directory $temp_unix/RavWLSetup is gone" test ! -e "$temp_unix/RavWLSetup"

section "Result"
if [ "$failures" -gt 0 ]; then
  printf '%d check(s) failed\n' "$failures"
  exit 1
fi
printf 'every step behaved as described\n'
