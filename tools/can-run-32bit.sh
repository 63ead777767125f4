#!/usr/bin/env bash
# Exit 0 when this machine can run 32-bit Windows programs under Wine
# natively: the 32-bit Wine loader must be installed and the kernel must run
# 32-bit Linux programs (some kernels are built without 32-bit emulation).
# Prints why not otherwise (exit 1). Emulation through qemu-user
# (tools/i386-emulation.sh) does not count: only a process that asks for it
# gets it, and the tests that choose their builds by this answer stay on
# the fast 64-bit test builds.
loader=/usr/lib/wine/wine
if [ ! -x "$loader" ]; then
  echo "no 32-bit Wine loader ($loader; Debian package wine32:i386)"
  exit 1
fi
if ! output=$(env -u RAV_QEMU_I386 "$loader" --version 2>&1); then
  echo "the 32-bit Wine loader does not run here: ${output:-no output} (is 32-bit emulation disabled in the kernel?)"
  exit 1
fi
exit 0
