#!/usr/bin/env bash
# make bench: the release programs measured side by side with what a user
# would use instead and with the platform's limit, in a fresh Wine session
# of their own. Prints Markdown tables and keeps them in BUILD_DIR/bench/report.md.
#   tools/bench.sh BUILD_DIR [RUNS]
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
runs=${2:-5}
src=$(cd "$(dirname "$0")/.." && pwd)
release32=$build/release-i686/bin
release64=$build/release-x86_64/bin
tools32=$build/i686/bin
tools64=$build/x86_64/bin
bench=$build/bench
report=$bench/report.md
stand_in_note=
# Sizes and imports need no program to run: always the release's.
footprint32=$release32
if ! "$src/tools/can-run-32bit.sh" >/dev/null; then
  # No 32-bit program runs here: the x86_64 tree's 64-bit test builds of the
  # 32-bit programs (RelWithDebInfo, not size-optimised) stand in for the
  # release ones, and the report says so. Their figures are not the release's.
  release32=$tools64
  tools32=$tools64
  stand_in_note="This machine runs no 32-bit programs: Setup.exe, ravuninst.exe and the drivers are the 64-bit test builds of the x86_64 tree, not the 32-bit release programs; the times are theirs (the footprint is the release's)."
  echo "bench: $stand_in_note" >&2
fi

rm -rf "$bench"
mkdir -p "$bench/work"
trap '"$src/tools/wine-session.sh" stop "$bench/session"' EXIT
echo "bench: starting a fresh Wine session in $bench (about 30 s)" >&2
"$src/tools/wine-session.sh" start "$bench/session" "$bench/wineprefix" "$tools32/desktop_keeper.exe"
# shellcheck disable=SC1091
. "$bench/session/env"

# The session's wineserver serves every wait and pipe read of the programs:
# its CPU time is theirs (Windows counts it as their kernel time).
server_pid() {
  local pid
  for pid in $(pgrep -f wineserver); do
    if tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qxF "WINEPREFIX=$WINEPREFIX"; then
      echo "$pid"
      return
    fi
  done
}
RAV_BENCH_SERVER_PID=$(server_pid)
RAV_BENCH_CLOCK_TICKS=$(getconf CLK_TCK)
export RAV_BENCH_SERVER_PID RAV_BENCH_CLOCK_TICKS

median() { sort -n | awk '{v[NR]=$1} END {if (NR%2) print v[(NR+1)/2]; else print (v[NR/2]+v[NR/2+1])/2}'; }
win() { "$RAV_WINE" winepath -w "$1"; }

work=$bench/work
"$RAV_WINE" "$tools32/ravbench.exe" packages "$(win "$release32")" "$(win "$tools32")" "$(win "$tools64")" "$(win "$work")"

# The host's own cp and rm on the same packages, for context.
: >"$work/native.txt"
for package in small deep many; do
  for _ in $(seq "$runs"); do
    start=$(date +%s%N)
    cp -r "$work/packages/$package" "$work/native-copy"
    rm -r "$work/native-copy"
    echo $((($(date +%s%N) - start) / 1000))
  done | median | awk -v p="$package" '{printf "%s %.3f\n", p, $1 / 1000}' >>"$work/native.txt"
done

{
  printf '## Benchmarks\n\n'
  printf 'Run on %s: %s, %s cores, %s of memory; %s; %s. ' "$(date -u +%Y-%m-%d)" \
    "$(awk -F': ' '/model name/ {print $2; exit}' /proc/cpuinfo)" "$(nproc)" \
    "$(awk '/MemTotal/ {printf "%.0f GiB", $2 / 1048576}' /proc/meminfo)" "$(uname -sr)" "$("$RAV_WINE" --version)"
  printf 'Load average before the run: %s.\n' "$(cut -d' ' -f1-3 /proc/loadavg)"
  [ -z "$stand_in_note" ] || printf '\n%s\n' "$stand_in_note"

  printf '\n### Footprint of the release programs\n\n'
  printf '| Program | size | goal | DLLs it imports |\n|---|--:|--:|---|\n'
  for entry in "launcher.exe:$footprint32:200000:i686" "ravuninst.exe:$footprint32:1000000:i686" \
    "ravcoinst.dll:$release64:300000:x86_64"; do
    IFS=: read -r name dir goal arch <<<"$entry"
    size=$(stat -c %s "$dir/$name")
    imports=$("$arch-w64-mingw32-objdump" -p "$dir/$name" | awk '/DLL Name:/ {print $3}' | sort -f | paste -sd' ')
    verdict=$([ "$size" -lt "$goal" ] && echo "under $((goal / 1000)) KB" || echo "OVER $((goal / 1000)) KB")
    printf '| %s | %s B | %s | %s |\n' "$name" "$(echo "$size" | sed ':a;s/\B[0-9]\{3\}\>/,&/;ta')" "$verdict" "$imports"
  done
} | tee "$report"

"$RAV_WINE" "$tools32/ravbench.exe" run "$(win "$release32")" "$(win "$tools32")" "$(win "$tools64")" "$(win "$work")" \
  "$runs" 2>>"$bench/stderr.txt" | tr -d '\r' | tee -a "$report"
"$RAV_WINE" "$tools64/ravcoinst_bench.exe" "$(win "$release64/ravcoinst.dll")" "$(win "$tools64/ravwlantest.inf")" "$runs" \
  2>>"$bench/stderr.txt" |
  tr -d '\r' | tee -a "$report"
printf '\nLoad average after the run: %s.\n' "$(cut -d' ' -f1-3 /proc/loadavg)" | tee -a "$report"
echo "bench: report in $report" >&2
