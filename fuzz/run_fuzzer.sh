#!/usr/bin/env bash
# Runs one fuzz target for a set time from its seed corpus.
#
#   run_fuzzer.sh [--fresh] FUZZER SEEDS WORKDIR SECONDS [MAX_RUNS]
#
# The seeds are only read: new inputs go to WORKDIR/corpus (emptied first
# with --fresh), a failing input to WORKDIR/crash-* and the fuzzer's output
# to WORKDIR/log. The last line printed is "<fuzzer> <executions> <result>";
# the exit status is the fuzzer's.
set -uo pipefail

fresh=0
if [ "${1:-}" = --fresh ]; then
  fresh=1
  shift
fi
if [ $# -lt 4 ]; then
  echo "usage: $0 [--fresh] FUZZER SEEDS WORKDIR SECONDS [MAX_RUNS]" >&2
  exit 2
fi
fuzzer=$1 seeds=$2 work=$3 seconds=$4 runs=${5:--1}
name=$(basename "$fuzzer")

[ "$fresh" = 1 ] && rm -rf "$work"
mkdir -p "$work/corpus" || exit 2
[ -d "$seeds" ] || { echo "$name: no seed corpus at $seeds" >&2; exit 2; }

"$fuzzer" "$work/corpus" "$seeds" \
  -max_total_time="$seconds" -runs="$runs" -timeout=10 \
  -print_final_stats=1 -artifact_prefix="$work/" >"$work/log" 2>&1
status=$?

executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/log" | tail -n 1)
if [ "$status" = 0 ]; then
  result=clean
else
  result="FAILED (exit $status; $work/log)"
  tail -n 60 "$work/log" >&2
fi
echo "$name ${executions:-?} $result"
exit "$status"
