#!/usr/bin/env bash
# Starts or stops the Wine session that one test run shares: an Xvfb display,
# then one persistent wineserver for a private prefix. The session's state
# (display number, process ids) lives in STATE_DIR; tools/wine-run.sh reads it.
#
#   wine-session.sh start STATE_DIR PREFIX_DIR [DESKTOP_KEEPER.exe]
#   wine-session.sh stop  STATE_DIR
set -euo pipefail

cmd=${1:?start or stop}
state=${2:?state directory}

stop_session() {
  if [ -f "$state/env" ]; then
    # shellcheck disable=SC1091
    . "$state/env"
    WINEPREFIX="$WINEPREFIX" wineserver -k 2>/dev/null || true
    WINEPREFIX="$WINEPREFIX" timeout 20 wineserver -w 2>/dev/null || true
  fi
  if [ -f "$state/xvfb.pid" ]; then
    kill "$(cat "$state/xvfb.pid")" 2>/dev/null || true
  fi
  rm -rf "$state"
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
  if "$(dirname "$0")/can-run-32bit.sh"; then
    loader=wine
    loader_env=
  else
    loader=/usr/lib/wine/wine64
    loader_env="export WINELOADER=$loader"
  fi
  cat >"$state/env" <<ENV
export DISPLAY=:$(tr -d '\n' <"$state/display")
export WINEPREFIX='$prefix'
export RAV_WINE='$loader'
$loader_env
export WINEDEBUG=-all
export WINEDLLOVERRIDES='mscoree,mshtml=;winemenubuilder.exe=d'
ENV
  # shellcheck disable=SC1091
  . "$state/env"

  setsid wineserver -p -f </dev/null >/dev/null 2>&1 &
  # First use creates the prefix (about 20 s); later runs only update it.
  "$RAV_WINE" wineboot -u </dev/null >/dev/null 2>&1 || true
  # No crash dialog: a crashing test program must end, not wait for a click.
  "$RAV_WINE" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
  # Wine's own fonts (Tahoma, and Marlett for the caption buttons) from
  # Debian's fonts-wine are found only in the prefix's font directory.
  if [ -d /usr/share/wine/fonts ]; then
    cp -n /usr/share/wine/fonts/*.ttf "$prefix/drive_c/windows/Fonts/" 2>/dev/null || true
  fi
  # A virtual desktop the size of the display: without a window manager
  # nobody would draw window frames and captions, and screenshots would lack them.
  "$RAV_WINE" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
  "$RAV_WINE" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1280x1024 /f >/dev/null 2>&1
  # The desktop process started above has the old setting: start afresh,
  # and start the prefix's services here, with no streams, so that no test
  # program starts them and leaves them holding its output.
  wineserver -k
  wineserver -w
  setsid wineserver -p -f </dev/null >/dev/null 2>&1 &
  "$RAV_WINE" wineboot -u </dev/null >/dev/null 2>&1 || true
  # Hold the desktop for the whole run, so that no test program starts the
  # desktop process and leaves it holding the program's output.
  if [ -n "${4:-}" ]; then
    setsid "$RAV_WINE" "$4" </dev/null >/dev/null 2>&1 &
    for _ in $(seq 100); do
      pgrep -f 'explorer.exe /desktop' >/dev/null && break
      sleep 0.1
    done
  fi
  ;;
*)
  echo "usage: $0 start|stop STATE_DIR [PREFIX_DIR]" >&2
  exit 2
  ;;
esac
