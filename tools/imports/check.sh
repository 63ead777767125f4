#!/usr/bin/env bash
# Names every function that a Windows program imports although the oldest
# Windows it addresses lacks it: Windows XP SP3 (5.1) for 32-bit programs,
# Windows XP x64 / Server 2003 x64 (5.2) for 64-bit ones. The functions and
# the version that brought each are in tools/imports/newer-than-xp.txt.
#
#   tools/imports/check.sh PROGRAM...
#
# Exit code: 0 no offender, 1 offenders (each named), 2 a program or a tool
# is missing, or a program's import table cannot be read.
set -uo pipefail

list="$(dirname "$0")/newer-than-xp.txt"
[ $# -gt 0 ] || { echo "usage: $0 PROGRAM..." >&2; exit 2; }
[ -r "$list" ] || { echo "check: cannot read $list" >&2; exit 2; }

status=0
for program in "$@"; do
  if [ ! -f "$program" ]; then
    echo "check: $program: no such file" >&2
    status=2
    continue
  fi
  # The 64-bit tool reads both formats; each dump is made by its own tool.
  format=$(x86_64-w64-mingw32-objdump -f "$program" 2>/dev/null | sed -n 's/.*file format //p' | head -1)
  case "$format" in
    pei-i386) objdump=i686-w64-mingw32-objdump oldest=5.1 ;;
    pei-x86-64) objdump=x86_64-w64-mingw32-objdump oldest=5.2 ;;
    *)
      echo "check: $program: not a Windows program (format '${format}')" >&2
      status=2
      continue
      ;;
  esac
  # "DLL Name: X" starts a DLL's block; each import below it is a line of
  # address, hint and name.
  imports=$("$objdump" -p "$program" | awk '
    /^\tDLL Name: / { dll = tolower($3); next }
    /^[^\t]/ { dll = "" }
    dll != "" && /^\t[0-9a-f]+\t/ && NF >= 3 { print dll, $NF }')
  if [ -z "$imports" ]; then
    echo "check: $program: no imports read (the dump's layout may have changed)" >&2
    status=2
    continue
  fi
  offenders=$(printf '%s\n' "$imports" | awk -v oldest="$oldest" '
    function level(v,  p) { split(v, p, "."); return p[1] * 100 + p[2] }
    function matches(pattern, name) {
      if (pattern ~ /\*$/) return index(name, substr(pattern, 1, length(pattern) - 1)) == 1
      return pattern == name
    }
    NR == FNR {
      if ($0 ~ /^[ \t]*(#|$)/) next
      dlls[++count] = tolower($1); names[count] = $2; versions[count] = $3
      next
    }
    {
      for (i = 1; i <= count; i++) {
        if (matches(dlls[i], $1) && matches(names[i], $2) && level(versions[i]) > level(oldest)) {
          print "  " $1 "!" $2 " (first in Windows " versions[i] ")"
          break
        }
      }
    }' "$list" -)
  count=$(printf '%s\n' "$imports" | wc -l)
  if [ -n "$offenders" ]; then
    echo "$program: imports what Windows $oldest lacks:"
    printf '%s\n' "$offenders"
    [ "$status" = 2 ] || status=1
  else
    echo "$program: $count imports, all in Windows $oldest"
  fi
done
exit "$status"
