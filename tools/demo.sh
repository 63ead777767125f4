#!/usr/bin/env bash
# The demo: the install tooling's whole life on a sample package, in a fresh
# private Wine prefix, with a readable account of every step.
#   tools/demo.sh BUILD_DIR              the test builds' programs
#   tools/demo.sh BUILD_DIR --shipped    the release programs, the bytes that
#                                        ship (BUILD_DIR/release: make release)
# Exit code: the number of checks that failed; 77 when the shipped 32-bit
# programs cannot run on this machine (the reason is printed).
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
shipped=0
[ "${2:-}" = --shipped ] && shipped=1
src=$(cd "$(dirname "$0")/.." && pwd)
bin64=$build/x86_64/bin
# How many times longer than usual the runner waits for a program.
patience=1
emulated=()

if [ "$shipped" = 1 ]; then
  release=$build/release
  if [ ! -f "$release/x86/Setup.exe" ]; then
    echo "demo: SKIPPED: no release programs in $release (make release builds them; make test does too)"
    exit 77
  fi
  if ! mode=$("$src/tools/i386-emulation.sh" status); then
    echo "demo: SKIPPED: the shipped 32-bit programs cannot run on this machine: $mode"
    exit 77
  fi
  setup=$release/x86/Setup.exe uninstaller=$release/x86/ravuninst.exe tracer=$release/x86/ravtrace.exe
  coinstaller=$release/x64/ravcoinst.dll
  listener=$tracer
  demo=$build/shipped
  template=$demo/wineprefix.booted
  if [ "$mode" = emulated ]; then
    # Each start of a 32-bit program costs about a minute under emulation:
    # the trace viewer that listens beside the steps is the 64-bit test
    # build where there is one (the steps themselves run what ships).
    [ -f "$bin64/ravtrace.exe" ] && listener=$bin64/ravtrace.exe
    patience=10
    emulated=(--emulated)
    export RAV_SESSION_I386=emulated
  fi
  "$src/tools/wow64-prefix.sh" "$template"
else
  bin32=$build/i686/bin
  if ! "$src/tools/can-run-32bit.sh"; then
    # The 64-bit test builds of the 32-bit programs stand in for them.
    echo "demo: this machine runs no 32-bit programs (the kernel's 32-bit emulation is off):"
    echo "  the demo plays with the 64-bit test builds of Setup.exe, ravuninst.exe and ravtrace.exe."
    echo "  make demo-shipped plays it with the release programs, under emulation."
    bin32=$bin64
  fi
  setup=$bin32/launcher.exe uninstaller=$bin32/ravuninst.exe tracer=$bin32/ravtrace.exe
  coinstaller=$bin64/ravcoinst.dll
  listener=$tracer
  demo=$build/demo
  template=
fi

rm -rf "$demo/package" "$demo/work" "$demo/wineprefix" "$demo/session" "$demo/trace.txt" "$demo/support-bundle.txt"
mkdir -p "$demo/package" "$demo/work"
trap '"$src/tools/wine-session.sh" stop "$demo/session"' EXIT
if [ -n "$template" ]; then
  printf '==== A copy of the 32-bit capable Wine prefix %s ====\n' "$template"
  cp -a "$template" "$demo/wineprefix"
else
  printf '==== Starting a fresh Wine prefix in %s (about 30 s) ====\n' "$demo/wineprefix"
fi
"$src/tools/wine-session.sh" start "$demo/session" "$demo/wineprefix" "$bin64/desktop_keeper.exe"
# shellcheck disable=SC1091
. "$demo/session/env"

# The SAMPLE package: what a driver package's medium would hold.
package=$demo/package
cp "$setup" "$package/Setup.exe"
cp "$uninstaller" "$coinstaller" "$package/"
cp "$bin64/ravengine64.exe" "$bin64/sample_setup.exe" "$bin64/sample_remove.exe" \
   "$bin64/ravihvui64.dll" "$bin64/ravwlantest.inf" "$package/"
# Both engines are the stand-in; which one ravuninst starts shows in its log.
cp "$bin64/ravengine64.exe" "$package/ravengine32.exe"
cp "$bin64/ravihvui64.dll" "$package/ravihvsrv64.dll"
cp "$src/fixtures/sample_package/"* "$package/"

# Which programs play, said plainly: the release as it ships, or test builds.
architecture() {
  case $(x86_64-w64-mingw32-objdump -f "$1" | sed -n 's/.*file format //p') in
  pei-i386) echo "32-bit" ;;
  pei-x86-64) echo "64-bit" ;;
  *) echo "unknown architecture" ;;
  esac
}
if [ "$shipped" = 1 ]; then
  printf '\n==== The programs: the release in %s, as it ships (%s) ====\n' "$release" \
    "$([ "$mode" = native ] && echo "32-bit programs run natively" || echo "32-bit programs run under qemu-user emulation")"
else
  printf '\n==== The programs: test builds, not the release (make demo-shipped plays the release) ====\n'
fi
for program in "$setup" "$uninstaller" "$coinstaller"; do
  printf '  %-60s %s, sha256 %.16s\n' "$program" "$(architecture "$program")" "$(sha256sum "$program")"
done
if [ "$shipped" = 1 ]; then
  (cd "$release" && sha256sum --quiet -c SHA256SUMS) && echo "  every program matches the release's SHA256SUMS"
fi

printf '\n==== The SAMPLE package (nothing in it but the programs above is shipped) ====\n'
(cd "$package" && ls -l | tail -n +2 | awk '{printf "  %8s  %s\n", $5, $9}')

# Every program's debug output, system-wide, into one file.
trace=$demo/trace.txt
: >"$trace"
"$RAV_WINE" "$listener" listen --output "$("$RAV_WINE" winepath -w "$trace")" \
  --ready-event 'Local\RavDemoTraceReady' --stop-event 'Local\RavDemoTraceStop' >/dev/null 2>"$demo/ravtrace.err" &
listener_pid=$!
"$RAV_WINE" "$bin64/demo_runner.exe" --patience "$patience" --wait-event 'Local\RavDemoTraceReady' >/dev/null 2>&1 || true

set +e
"$RAV_WINE" "$bin64/demo_runner.exe" --patience "$patience" "${emulated[@]}" --tracer "$("$RAV_WINE" winepath -w "$tracer")" \
  "$("$RAV_WINE" winepath -w "$package")" "$("$RAV_WINE" winepath -w "$demo/work")" "$("$RAV_WINE" winepath -w "$trace")"
failures=$?
set -e

"$RAV_WINE" "$listener" stop 'Local\RavDemoTraceStop' >/dev/null 2>&1 || true
wait "$listener_pid" 2>/dev/null || true

printf '\nScreenshots:\n'
ls "$demo/work/screenshots/"*.png 2>/dev/null | sed 's/^/  /'
printf 'Full trace: %s\n' "$trace"

# Last: the support bundle a customer would send, as ravtrace collect writes it.
bundle=$demo/support-bundle.txt
printf '\n==== Support bundle: ravtrace collect ====\n'
if "$RAV_WINE" "$tracer" collect "$("$RAV_WINE" winepath -w "$bundle")" 2>"$demo/collect.err" &&
  [ -s "$bundle" ]; then
  sed 's/^/  /' "$demo/collect.err"
  grep '^== ' "$bundle" | tr -d '\r' | sed 's/^/  /'
  # The co-installer lies in the 64-bit System32, which a 32-bit ravtrace
  # sees only past its file-system redirection.
  if grep -q 'ravcoinst\.dll: .*\\System32\\ravcoinst\.dll: version ' "$bundle"; then
    echo "  ok:     the bundle names the co-installer in the 64-bit System32, with its version"
  else
    echo "  FAILED: the bundle does not name the co-installer in the 64-bit System32"
    failures=$((failures + 1))
  fi
  printf 'Support bundle: %s\n' "$bundle"
else
  sed 's/^/  /' "$demo/collect.err"
  echo "  FAILED: ravtrace collect wrote no support bundle"
  failures=$((failures + 1))
fi
exit "$failures"
