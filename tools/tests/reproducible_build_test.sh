#!/usr/bin/env bash
# The release build gives the same bytes from any checkout at any path: the
# source tree is copied to two places whose paths differ in length, each
# copy builds the release launcher (the smallest shipped program, built
# with the same flags as the others) a while apart, and the two programs
# must be identical.
#
#   reproducible_build_test.sh SOURCE-DIR
#
# The whole recipe, two clean clones each running make release, is in
# README (The release); this is its cheap, everyday form.
set -euo pipefail

source=$(cd "${1:?usage: $0 SOURCE-DIR}" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

built=()
for place in a/src second/longer/path/src; do
  mkdir -p "$work/$place"
  tar -C "$source" --exclude=./build --exclude=./.git -cf - . | tar -C "$work/$place" -xf -
  (cd "$work/$place" && cmake --preset release-i686 >/dev/null && cmake --build --preset release-i686 --target launcher >/dev/null)
  built+=("$work/$place/build/release-i686/bin/launcher.exe")
  # The linker's time stamp has a resolution of one second.
  sleep 1
done

if cmp "${built[@]}"; then
  echo "identical: ${built[*]}"
else
  echo "FAILED: the release launcher differs between two source paths"
  exit 1
fi
