#!/usr/bin/env bash
# The demo: the install tooling's whole life on a sample package, in a fresh
# private Wine prefix, with a readable account of every step.
#   tools/demo.sh BUILD_DIR
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
src=$(cd "$(dirname "$0")/.." && pwd)
bin32=$build/i686/bin
bin64=$build/x86_64/bin
if ! "$src/tools/can-run-32bit.sh"; then
  # The 64-bit test builds of the 32-bit programs stand in for them.
  echo "demo: this machine runs no 32-bit programs (the kernel's 32-bit emulation is off):"
  echo "  the demo plays with the 64-bit test builds of Setup.exe, ravuninst.exe and ravtrace.exe."
  bin32=$bin64
fi
demo=$build/demo

rm -rf "$demo"
mkdir -p "$demo/package" "$demo/work"
trap '"$src/tools/wine-session.sh" stop "$demo/session"' EXIT
printf '==== Starting a fresh Wine prefix in %s (about 30 s) ====\n' "$demo/wineprefix"
"$src/tools/wine-session.sh" start "$demo/session" "$demo/wineprefix" "$bin32/desktop_keeper.exe"
# shellcheck disable=SC1091
. "$demo/session/env"

# The SAMPLE package: what a driver package's medium would hold.
package=$demo/package
cp "$bin32/launcher.exe" "$package/Setup.exe"
cp "$bin32/ravuninst.exe" "$bin32/ravengine32.exe" "$package/"
cp "$bin64/ravengine64.exe" "$bin64/sample_setup.exe" "$bin64/sample_remove.exe" "$bin64/ravcoinst.dll" \
   "$bin64/ravihvui64.dll" "$bin64/ravwlantest.inf" "$package/"
cp "$bin64/ravihvui64.dll" "$package/ravihvsrv64.dll"
cp "$src/fixtures/sample_package/"* "$package/"
printf '\n==== The SAMPLE package (nothing in it is shipped) ====\n'
(cd "$package" && ls -l | tail -n +2 | awk '{printf "  %8s  %s\n", $5, $9}')

# Every program's debug output, system-wide, into one file.
trace=$demo/trace.txt
: >"$trace"
"$RAV_WINE" "$bin32/ravtrace.exe" listen --output "$("$RAV_WINE" winepath -w "$trace")" \
  --ready-event 'Local\RavDemoTraceReady' --stop-event 'Local\RavDemoTraceStop' >/dev/null 2>"$demo/ravtrace.err" &
listener=$!
"$RAV_WINE" "$bin32/demo_runner.exe" --wait-event 'Local\RavDemoTraceReady' >/dev/null 2>&1 || true

set +e
"$RAV_WINE" "$bin32/demo_runner.exe" "$("$RAV_WINE" winepath -w "$package")" "$("$RAV_WINE" winepath -w "$demo/work")" "$("$RAV_WINE" winepath -w "$trace")"
failures=$?
set -e

"$RAV_WINE" "$bin32/ravtrace.exe" stop 'Local\RavDemoTraceStop' >/dev/null 2>&1 || true
wait "$listener" 2>/dev/null || true

printf '\nScreenshots:\n'
ls "$demo/work/screenshots/"*.png 2>/dev/null | sed 's/^/  /'
printf 'Full trace: %s\n' "$trace"

# Last: the support bundle a customer would send, as ravtrace collect writes it.
bundle=$demo/support-bundle.txt
printf '\n==== Support bundle: ravtrace collect ====\n'
if "$RAV_WINE" "$bin32/ravtrace.exe" collect "$("$RAV_WINE" winepath -w "$bundle")" 2>"$demo/collect.err" &&
  [ -s "$bundle" ]; then
  sed 's/^/  /' "$demo/collect.err"
  grep '^== ' "$bundle" | tr -d '\r' | sed 's/^/  /'
  printf 'Support bundle: %s\n' "$bundle"
else
  sed 's/^/  /' "$demo/collect.err"
  echo "  FAILED: ravtrace collect wrote no support bundle"
  failures=$((failures + 1))
fi
exit "$failures"
