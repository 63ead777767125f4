#!/usr/bin/env bash
# Installs every Debian package the build and the tests need. Safe to run
# again: when everything is present it changes nothing and returns at once.
#
# A package mirror can be inconsistent for a while (an index that fails to
# download while it syncs, i386 and amd64 versions of a library that differ).
# The set-up then retries the index update, goes on with the indexes it has,
# always installs the 64-bit packages, and when the 32-bit Wine cannot be
# installed says so in one line and goes on: everything but the lane that
# runs the shipped 32-bit programs (label "shipped") works without it, and
# that lane reports itself skipped. Nothing is pinned, held or downgraded:
# apt-get may not remove or downgrade a package to make room.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)

packages=(
  cmake ninja-build make
  g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix
  binutils-mingw-w64-i686 binutils-mingw-w64-x86-64
  wine wine64
  xvfb x11-utils imagemagick
  fonts-wine fonts-noto-cjk fonts-dejavu-core
  googletest
  clang libclang-rt-14-dev
  git procps
  osslsigncode openssl
  qemu-user-static
)
# The 32-bit Wine: it runs the shipped 32-bit programs (natively, or under
# qemu-user where the kernel runs no 32-bit programs).
packages32=(wine32:i386)

installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }

missing=()
for p in "${packages[@]}"; do installed "$p" || missing+=("$p"); done
missing32=()
for p in "${packages32[@]}"; do installed "$p" || missing32+=("$p"); done
need_i386=0
dpkg --print-foreign-architectures | grep -qx i386 || need_i386=1

sudo=""
[ "$(id -u)" = 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive

# apt-get update exits non-zero when any index fails, though it has
# refreshed the others: retry a few times, then go on with what it has.
update_indexes() {
  local attempt
  for attempt in 1 2 3; do
    if $sudo apt-get update -qq >/dev/null 2>"$log"; then
      return 0
    fi
    [ "$attempt" = 3 ] || sleep $((attempt * 5))
  done
  echo "setup: some package indexes could not be refreshed (the mirror may be syncing); going on with the others:"
  grep -E '^(E|W):' "$log" | head -3 | sed 's/^/  /'
}

# --no-remove: apt-get stops instead of removing a package to resolve a
# conflict; it never downgrades without being asked to.
install() {
  $sudo apt-get install -y -q --no-install-recommends --no-remove "$@" >"$log" 2>&1
}

if [ "$need_i386" = 1 ] || [ "${#missing[@]}" -gt 0 ] || [ "${#missing32[@]}" -gt 0 ]; then
  log=$(mktemp)
  trap 'rm -f "$log"' EXIT
  if [ "$need_i386" = 1 ]; then
    $sudo dpkg --add-architecture i386
  fi
  echo "setup: installing ${missing[*]} ${missing32[*]}"
  update_indexes
  if [ "${#missing[@]}" -gt 0 ] && ! install "${missing[@]}"; then
    # One more refresh: the mirror may have caught up meanwhile.
    update_indexes
    if ! install "${missing[@]}"; then
      echo "setup: cannot install ${missing[*]}:" >&2
      sed 's/^/  /' "$log" >&2
      exit 1
    fi
  fi
  if [ "${#missing32[@]}" -gt 0 ] && ! install "${missing32[@]}"; then
    # The first unmet dependency says most (an i386 library whose version
    # differs from the amd64 one while the mirror syncs); else apt's error.
    why=$(grep -m1 'Depends:' "$log" | tr -s ' ' || true)
    [ -n "$why" ] && why="unmet dependencies, first:$why" || why=$(grep -E '^E:' "$log" | tail -1 | sed 's/^E: //')
    echo "setup: the 32-bit Wine (${missing32[*]}) cannot be installed now (${why:-apt-get failed}); every test but the shipped 32-bit programs' lane runs, and that lane reports itself skipped. Run 'make setup' again later."
  fi
fi

# Where the kernel runs no 32-bit programs, qemu-user runs them for the
# processes that ask for it (tools/i386-emulation.sh says what and why).
"$here/i386-emulation.sh" ensure
