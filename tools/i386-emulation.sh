#!/usr/bin/env bash
# Runs 32-bit (i386) Linux programs, Wine's 32-bit loader among them, under
# qemu-user on a machine whose kernel runs none, for the processes that ask
# for it and for no other.
#
# What it registers: a binfmt_misc entry "rav-i386" for the i386 ELF header
# (without the F flag) whose handler, /usr/local/libexec/rav-i386-emulation,
# runs Debian's qemu-i386-static only when the environment holds
# RAV_QEMU_I386=1, and otherwise refuses the program (exit 126), as the
# kernel itself would. Why: the shipped Setup.exe, ravuninst.exe and
# ravtrace.exe are 32-bit, and the lane that tests them (label "shipped")
# runs them in a 32-bit capable Wine prefix; everything else must stay on
# the fast 64-bit test builds and never slip into emulation by accident
# (tools/can-run-32bit.sh keeps answering "no" here).
#
#   i386-emulation.sh ensure     registers when needed and possible; as
#                                another user, prints the one command to run
#   i386-emulation.sh register   (root) registers; harmless when registered
#   i386-emulation.sh status     exit 0 and "native" or "emulated" when
#                                32-bit Wine programs can run; else exit 1
#                                and why not
set -euo pipefail

name=rav-i386
entry=/proc/sys/fs/binfmt_misc/$name
handler=/usr/local/libexec/rav-i386-emulation
qemu=/usr/bin/qemu-i386-static
loader=/usr/lib/wine/wine
here=$(cd "$(dirname "$0")" && pwd)
# The i386 ELF header (class 32, little-endian, version 1, executable or
# shared object, machine 3), as qemu's own i386 registration has it.
magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'

native() { env -u RAV_QEMU_I386 "$loader" --version >/dev/null 2>&1; }
emulated() { RAV_QEMU_I386=1 "$loader" --version >/dev/null 2>&1; }
registered() { [ -r "$entry" ] && grep -qx enabled "$entry" && grep -qx "interpreter $handler" "$entry"; }

write_handler() {
  mkdir -p "$(dirname "$handler")"
  local temporary
  temporary=$(mktemp "$handler.XXXXXX")
  cat >"$temporary" <<EOF
#!/bin/sh
# binfmt_misc handler "$name" for i386 programs (see tools/i386-emulation.sh
# of the install tooling): qemu-user only for processes that ask for it.
if [ "\${RAV_QEMU_I386:-}" = 1 ]; then exec $qemu "\$@"; fi
echo "\$1: 32-bit program refused: this kernel runs none (RAV_QEMU_I386=1 runs it under qemu-user)" >&2
exit 126
EOF
  chmod 755 "$temporary"
  mv -f "$temporary" "$handler"
}

register() {
  if [ "$(id -u)" != 0 ]; then
    echo "i386-emulation: registering needs root: sudo $here/i386-emulation.sh register" >&2
    return 1
  fi
  [ -x "$qemu" ] || { echo "i386-emulation: $qemu is missing (Debian package qemu-user-static)" >&2; return 1; }
  if [ ! -e /proc/sys/fs/binfmt_misc/register ]; then
    mount -t binfmt_misc binfmt_misc /proc/sys/fs/binfmt_misc
  fi
  write_handler
  if registered; then return 0; fi
  # An entry of that name with another handler, or disabled: replace it.
  if [ -e "$entry" ]; then echo -1 >"$entry"; fi
  printf ':%s:M::%s:%s:%s:\n' "$name" "$magic" "$mask" "$handler" >/proc/sys/fs/binfmt_misc/register
  echo "i386-emulation: registered $name: 32-bit programs run under $qemu for processes with RAV_QEMU_I386=1"
}

case "${1:-}" in
ensure)
  # Nothing to do without the 32-bit Wine, or where the kernel runs it.
  [ -x "$loader" ] || exit 0
  native && exit 0
  registered && [ -x "$handler" ] && exit 0
  if [ "$(id -u)" = 0 ]; then
    register
  else
    echo "setup: to test the shipped 32-bit programs under emulation, run once: sudo $here/i386-emulation.sh register"
  fi
  ;;
register)
  register
  ;;
status)
  if [ ! -x "$loader" ]; then
    echo "the 32-bit Wine is not installed ($loader; Debian package wine32:i386, which tools/setup.sh installs when the package mirror allows)"
    exit 1
  fi
  if native; then echo native; exit 0; fi
  if ! registered; then
    echo "the kernel runs no 32-bit programs and no emulation is registered (run: sudo $here/i386-emulation.sh register)"
    exit 1
  fi
  if ! emulated; then
    echo "the 32-bit Wine loader does not start under qemu-user ($handler)"
    exit 1
  fi
  echo emulated
  ;;
*)
  echo "usage: $0 ensure|register|status" >&2
  exit 2
  ;;
esac
