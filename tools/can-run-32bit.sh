#!/usr/bin/env bash
# Exit 0 when this machine can run 32-bit Windows programs under Wine, else 1.
# Wine's 32-bit loader is an i386 Linux program, and some kernels run none
# (their 32-bit emulation is switched off: "Exec format error").
if [ -x /usr/lib/wine/wine ] && /usr/lib/wine/wine --version >/dev/null 2>&1; then
  exit 0
fi
exit 1
