#!/usr/bin/env bash
# Runs a Windows program in the session that tools/wine-session.sh started
# (CTest's emulator for the cross-built tests): wine-run.sh STATE_DIR PROGRAM ARGS...
set -euo pipefail
state=${1:?state directory}
shift
if [ ! -f "$state/env" ]; then
  echo "wine-run: no Wine session in $state (run the tests through ctest)" >&2
  exit 125
fi
# shellcheck disable=SC1091
. "$state/env"
exec "$RAV_WINE" "$@"
