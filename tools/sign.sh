#!/usr/bin/env bash
# Signs Windows programs with an Authenticode SHA-256 signature, all or
# nothing:
#
#   SIGN_CERT=cert.pem SIGN_KEY=key.pem [SIGN_PASS=...] tools/sign.sh OUT-DIR FILE...
#
# writes a signed copy of each FILE into OUT-DIR (which must not exist yet)
# under its own name. The copies are made in a temporary directory beside
# OUT-DIR, which becomes OUT-DIR only when every file is signed: when one
# fails, the command fails and OUT-DIR does not appear.
set -euo pipefail

out=${1:?usage: $0 OUT-DIR FILE...}
shift
[ $# -gt 0 ] || { echo "usage: $0 OUT-DIR FILE..." >&2; exit 2; }
fail() { echo "sign: $*" >&2; exit 1; }
[ -n "${SIGN_CERT:-}" ] && [ -n "${SIGN_KEY:-}" ] || fail "signing needs both SIGN_CERT and SIGN_KEY"
[ -r "$SIGN_CERT" ] || fail "cannot read SIGN_CERT $SIGN_CERT"
[ -r "$SIGN_KEY" ] || fail "cannot read SIGN_KEY $SIGN_KEY"
command -v osslsigncode >/dev/null || fail "osslsigncode is missing (tools/setup.sh installs it)"
[ ! -e "$out" ] || fail "$out exists already"

work=$(mktemp -d "$(dirname "$out")/.signing.XXXXXX")
trap 'rm -rf "$work"' EXIT
# The password goes through a private file, never a command line that other
# users can read in the process list.
pass=()
if [ -n "${SIGN_PASS:-}" ]; then
  (umask 077 && printf '%s' "$SIGN_PASS" > "$work/.pass")
  pass=(-readpass "$work/.pass")
fi
for file in "$@"; do
  name=$(basename "$file")
  [ ! -e "$work/$name" ] || fail "two files named $name"
  if ! log=$(osslsigncode sign -certs "$SIGN_CERT" -key "$SIGN_KEY" "${pass[@]}" -h sha256 \
               -in "$file" -out "$work/$name" 2>&1); then
    fail "signing $file failed: $log"
  fi
done
rm -f "$work/.pass"
mv "$work" "$out"
trap - EXIT
