#!/usr/bin/env bash
# Runs tools/imports/check.sh over the programs of one release build tree
# (build/release-i686/bin or build/release-x86_64/bin). A tree not built yet
# is reported and skipped (exit 77, which CTest counts as skipped).
set -uo pipefail
dir=${1:?usage: $0 RELEASE-BIN-DIRECTORY}
shopt -s nullglob
programs=("$dir"/*.exe "$dir"/*.dll)
if [ ${#programs[@]} = 0 ]; then
  echo "skipped: no release programs in $dir (make release builds them)"
  exit 77
fi
exec "$(dirname "$0")/check.sh" "${programs[@]}"
