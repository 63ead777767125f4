#!/usr/bin/env bash
# Starts or stops the Wine session that one test run shares: an Xvfb display,
# then one persistent wineserver for a private prefix. The session's state
# (display number, process ids) lives in STATE_DIR; tools/wine-run.sh reads it.
#
#   wine-session.sh start STATE_DIR PREFIX_DIR [DESKTOP_KEEPER.exe]
#   wine-session.sh stop  STATE_DIR
#
# RAV_SESSION_I386=emulated starts a session whose 32-bit programs run under
# qemu-user (the prefix must hold a 32-bit system: tools/wow64-prefix.sh).
#
# Everything it waits for has a time limit, it only ever stops processes of
# its own session (its own Xvfb, its own prefix's wineserver and desktop),
# and its env file holds shell-quoted values only.
set -euo pipefail

cmd=${1:?start or stop}
state=${2:?state directory}
here=$(cd "$(dirname "$0")" && pwd)

# True when PID is alive and its command line contains TEXT.
process_is() {
  local pid=$1 text=$2
  [[ $pid =~ ^[0-9]+$ ]] && [ -r "/proc/$pid/cmdline" ] && tr '\0' ' ' <"/proc/$pid/cmdline" | grep -qF -- "$text"
}

# True when a process of this prefix (WINEPREFIX in its environment) has
# TEXT in its command line.
prefix_runs() {
  local text=$1 pid
  for pid in $(pgrep -f -- "$text" || true); do
    if tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qxF "WINEPREFIX=$WINEPREFIX"; then
      return 0
    fi
  done
  return 1
}

stop_session() {
  if [ -f "$state/env" ]; then
    # shellcheck disable=SC1091
    . "$state/env"
    timeout 20 wineserver -k 2>/dev/null || true
    timeout 20 wineserver -w 2>/dev/null || true
  fi
  if [ -f "$state/xvfb.pid" ]; then
    local pid
    pid=$(cat "$state/xvfb.pid")
    # The pid file may be stale: only this session's Xvfb is stopped.
    if process_is "$pid" "Xvfb -displayfd"; then kill "$pid" 2>/dev/null || true; fi
  fi
  rm -rf "$state"
}

# Writes the env file that wine-run.sh and the scripts source: one quoted
# assignment per line.
write_env() {
  local name
  : >"$state/env"
  for name in "$@"; do
    printf 'export %s=%q\n' "$name" "${!name}" >>"$state/env"
  done
}

case "$cmd" in
stop)
  stop_session
  ;;
start)
  prefix=${3:?prefix directory}
  stop_session
  mkdir -p "$state" "$prefix"
  state=$(cd "$state" && pwd)
  prefix=$(cd "$prefix" && pwd)

  # The display comes first: the desktop process of the prefix starts with
  # the first program, and without a display it never gets one.
  Xvfb -displayfd 9 -screen 0 1280x1024x24 -nolisten tcp -noreset \
    9>"$state/display" >/dev/null 2>&1 &
  echo $! >"$state/xvfb.pid"
  for _ in $(seq 100); do
    [ -s "$state/display" ] && break
    sleep 0.1
  done
  [ -s "$state/display" ] || { echo "wine-session: Xvfb did not start" >&2; exit 1; }

  # Wine's own launcher starts its 32-bit loader first, which cannot run
  # where the kernel runs no 32-bit programs: 64-bit programs then go to the
  # 64-bit loader directly.
  DISPLAY=:$(tr -d '\n' <"$state/display")
  WINEPREFIX=$prefix
  WINEDEBUG=-all
  WINEDLLOVERRIDES='mscoree,mshtml=;winemenubuilder.exe=d'
  update=(-u)
  if [ "${RAV_SESSION_I386:-}" = emulated ]; then
    # A session for the shipped 32-bit programs where the kernel runs none:
    # its 32-bit programs run under qemu-user (tools/i386-emulation.sh),
    # everything else on the 64-bit loader.
    RAV_WINE=/usr/lib/wine/wine64
    WINELOADER=$RAV_WINE
    RAV_QEMU_I386=1
    write_env DISPLAY WINEPREFIX RAV_WINE WINELOADER RAV_QEMU_I386 WINEDEBUG WINEDLLOVERRIDES
    # Its prefix comes booted (tools/wow64-prefix.sh): a forced update
    # would run the 32-bit half of the boot again, minutes under emulation.
    update=()
  elif "$here/can-run-32bit.sh" >/dev/null; then
    RAV_WINE=wine
    write_env DISPLAY WINEPREFIX RAV_WINE WINEDEBUG WINEDLLOVERRIDES
  else
    RAV_WINE=/usr/lib/wine/wine64
    WINELOADER=$RAV_WINE
    write_env DISPLAY WINEPREFIX RAV_WINE WINELOADER WINEDEBUG WINEDLLOVERRIDES
  fi
  # shellcheck disable=SC1091
  . "$state/env"

  setsid wineserver -p -f </dev/null >/dev/null 2>&1 &
  # First use creates the prefix (about 20 s); later runs only update it.
  timeout 300 "$RAV_WINE" wineboot "${update[@]}" </dev/null >/dev/null 2>&1 || true
  # No crash dialog: a crashing test program must end, not wait for a click.
  timeout 60 "$RAV_WINE" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
  # Wine's own fonts (Tahoma, and Marlett for the caption buttons) from
  # Debian's fonts-wine are found only in the prefix's font directory.
  if [ -d /usr/share/wine/fonts ]; then
    cp -n /usr/share/wine/fonts/*.ttf "$prefix/drive_c/windows/Fonts/" 2>/dev/null || true
  fi
  # A virtual desktop the size of the display: without a window manager
  # nobody would draw window frames and captions, and screenshots would lack them.
  timeout 60 "$RAV_WINE" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
  timeout 60 "$RAV_WINE" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1280x1024 /f >/dev/null 2>&1
  # The desktop process started above has the old setting: start afresh,
  # and start the prefix's services here, with no streams, so that no test
  # program starts them and leaves them holding its output.
  timeout 20 wineserver -k || true
  timeout 60 wineserver -w
  setsid wineserver -p -f </dev/null >/dev/null 2>&1 &
  timeout 300 "$RAV_WINE" wineboot "${update[@]}" </dev/null >/dev/null 2>&1 || true
  # Hold the desktop for the whole run, so that no test program starts the
  # desktop process and leaves it holding the program's output.
  if [ -n "${4:-}" ]; then
    setsid "$RAV_WINE" "$4" </dev/null >/dev/null 2>&1 &
    for _ in $(seq 100); do
      prefix_runs 'explorer.exe /desktop' && break
      sleep 0.1
    done
  fi
  ;;
*)
  echo "usage: $0 start|stop STATE_DIR [PREFIX_DIR]" >&2
  exit 2
  ;;
esac
