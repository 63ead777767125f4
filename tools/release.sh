#!/usr/bin/env bash
# Collects the release programs from the release build trees into
# build/release/, signs them when a certificate and key are given, and
# writes build/release/SHA256SUMS over what ships and build/release/BUILDINFO
# (the commit and the toolchain's package versions).
#
#   tools/release.sh BUILD-DIR
#   SIGN_CERT=cert.pem SIGN_KEY=key.pem [SIGN_PASS=...] tools/release.sh BUILD-DIR
#
# Everything is assembled in BUILD-DIR/release.partial and moved to
# BUILD-DIR/release only when every step has succeeded: a failed import
# check or signing leaves no release at all (the previous one is removed
# first), never a half-signed one.
set -euo pipefail

build=${1:?usage: $0 BUILD-DIR}
here=$(cd "$(dirname "$0")" && pwd)
release="$build/release"
partial="$build/release.partial"
cert=${SIGN_CERT:-}
key=${SIGN_KEY:-}

fail() { echo "release: $*" >&2; exit 1; }
if [ -n "$cert$key" ] && { [ -z "$cert" ] || [ -z "$key" ]; }; then
  fail "signing needs both SIGN_CERT and SIGN_KEY"
fi

rm -rf "$release" "$partial"
trap 'rm -rf "$partial"' EXIT

# What ships: the release trees' programs, under their shipped names.
declare -A from=(
  [x86/Setup.exe]="$build/release-i686/bin/launcher.exe"
  [x86/ravuninst.exe]="$build/release-i686/bin/ravuninst.exe"
  [x86/ravtrace.exe]="$build/release-i686/bin/ravtrace.exe"
  [x64/ravcoinst.dll]="$build/release-x86_64/bin/ravcoinst.dll"
)
files=(x86/Setup.exe x86/ravuninst.exe x86/ravtrace.exe x64/ravcoinst.dll)

"$here/imports/check.sh" "${from[@]}"

mkdir -p "$partial/x86" "$partial/x64"
for file in "${files[@]}"; do
  cp "${from[$file]}" "$partial/$file"
done

if [ -n "$cert" ]; then
  for arch in x86 x64; do
    "$here/sign.sh" "$partial/$arch.signed" "$partial/$arch"/* || fail "signing failed; nothing was released"
    rm -r "${partial:?}/$arch"
    mv "$partial/$arch.signed" "$partial/$arch"
  done
  echo "release: signed ${files[*]}"
fi

(cd "$partial" && sha256sum "${files[@]}" > SHA256SUMS)

# What a third party needs to build the same bytes: the commit and the
# packages that shaped them.
source=$(cd "$here/.." && pwd)
{
  if commit=$(git -C "$source" rev-parse HEAD 2>/dev/null); then
    git -C "$source" diff --quiet HEAD 2>/dev/null || commit="$commit (with changes not committed)"
    echo "commit $commit"
  else
    echo "commit unknown (not a git checkout)"
  fi
  dpkg-query -W -f='package ${Package} ${Version}\n' \
    g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix gcc-mingw-w64-base \
    binutils-mingw-w64-i686 binutils-mingw-w64-x86-64 \
    mingw-w64-i686-dev mingw-w64-x86-64-dev mingw-w64-common cmake ninja-build 2>/dev/null || true
} > "$partial/BUILDINFO"
mv "$partial" "$release"
trap - EXIT
echo "release: $release"
cat "$release/SHA256SUMS"
