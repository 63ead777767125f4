#!/usr/bin/env bash
# Runs every fuzz target of a native build tree for a set time, one after
# the other, and prints how many inputs each ran and whether it stayed clean.
#
#   fuzz/run_all.sh BUILD_DIR SECONDS
#
# Each target starts from its seeds (fuzz/corpus/<name>, only read) and from
# what earlier runs added to BUILD_DIR/fuzz-work/<name>/corpus; a failing
# input is left in BUILD_DIR/fuzz-work/<name>/. Exit status 1 when any
# target failed.
set -uo pipefail
src=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:?usage: $0 BUILD_DIR SECONDS}" && pwd)
seconds=${2:?usage: $0 BUILD_DIR SECONDS}

names=()
for source in "$src"/fuzz/*_fuzzer.cpp; do
  name=$(basename "$source" _fuzzer.cpp)
  names+=("$name")
done

echo "fuzz: ${#names[@]} targets, ${seconds} s each"
results=()
failed=0
for name in "${names[@]}"; do
  fuzzer=$build/bin/${name}_fuzzer
  if [ ! -x "$fuzzer" ]; then
    results+=("${name}_fuzzer - FAILED (not built)")
    failed=1
    continue
  fi
  line=$("$src/fuzz/run_fuzzer.sh" "$fuzzer" "$src/fuzz/corpus/$name" "$build/fuzz-work/$name" "$seconds" | tail -n 1)
  [ "${line##* }" = clean ] || failed=1
  echo "  $line"
  results+=("$line")
done

printf '\n%-28s %14s  %s\n' target executions result
for line in "${results[@]}"; do
  read -r target executions result <<<"$line"
  printf '%-28s %14s  %s\n' "$target" "$executions" "$result"
done
exit "$failed"
