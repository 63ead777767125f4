#!/usr/bin/env bash
# Boots a Wine prefix that runs 32-bit programs beside 64-bit ones (its
# syswow64 holds the 32-bit system), once, and keeps it: a later call finds
# it booted and returns at once. Runs copy it and never change it.
#
#   wow64-prefix.sh PREFIX_DIR
#
# The 32-bit half of the boot needs the 32-bit Wine loader: natively, or
# under qemu-user where the kernel runs no 32-bit programs
# (tools/i386-emulation.sh), where the boot takes minutes. Two callers at
# once: the second waits for the first's boot.
set -euo pipefail

prefix=${1:?usage: $0 PREFIX_DIR}
here=$(cd "$(dirname "$0")" && pwd)
marker=$prefix/.booted-wow64

mkdir -p "$(dirname "$prefix")"
exec 9>"$prefix.lock"
flock 9
if [ -f "$marker" ]; then
  exit 0
fi

if ! mode=$("$here/i386-emulation.sh" status); then
  echo "wow64-prefix: 32-bit programs cannot run here: $mode" >&2
  exit 1
fi
rm -rf "$prefix"
mkdir -p "$prefix"
export WINEPREFIX
WINEPREFIX=$(cd "$prefix" && pwd)
export WINEDEBUG=-all WINEDLLOVERRIDES='mscoree,mshtml=;winemenubuilder.exe=d'
if [ "$mode" = native ]; then
  loader=wine
else
  # The 64-bit loader runs the 64-bit half natively; the 32-bit half goes
  # through the gated emulation.
  loader=/usr/lib/wine/wine64
  export WINELOADER=$loader RAV_QEMU_I386=1
fi
# No display: nothing of the boot needs one, and the wineserver that ran
# without one ends here (a session starts its own with a display).
unset DISPLAY
echo "wow64-prefix: booting a 32-bit capable Wine prefix ($mode) in $WINEPREFIX"
start=$(date +%s)
status=0
timeout 3600 "$loader" wineboot -i </dev/null >"$prefix.log" 2>&1 || status=$?
timeout 600 wineserver -w || status=$?
seconds=$(($(date +%s) - start))
if [ "$status" != 0 ] || [ ! -f "$WINEPREFIX/drive_c/windows/syswow64/kernel32.dll" ]; then
  echo "wow64-prefix: the boot failed (status $status, ${seconds} s): no 32-bit system in syswow64; see $prefix.log" >&2
  exit 1
fi
echo "$mode $seconds" >"$marker"
echo "wow64-prefix: booted in ${seconds} s"
