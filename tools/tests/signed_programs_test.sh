#!/usr/bin/env bash
# A signature must not break a program. Signs copies of a build tree's
# shipped programs with a throwaway self-signed code-signing certificate
# (tools/sign.sh, as make release does), then:
#
#   signed_programs_test.sh sign BIN-DIR
#     checks every signature with osslsigncode verify -CAfile, and that a
#     failed signing (a wrong key password) leaves no signed copies at all;
#   signed_programs_test.sh run BIN-DIR WINE-STATE
#     runs the signed programs under Wine in the tree's session:
#     Setup.exe /? and ravuninst.exe in a mode that only traces (and with no
#     mode), and the co-installer through SetupAPI (device_setup_host.exe).
#     32-bit programs are skipped, saying so, where the machine cannot run
#     them (tools/can-run-32bit.sh); exit 77 when nothing could run.
set -euo pipefail

mode=${1:?usage: $0 sign|run BIN-DIR [WINE-STATE]}
bin=${2:?usage: $0 sign|run BIN-DIR [WINE-STATE]}
tools=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAILED: $*"; failures=$((failures + 1)); }

programs=()
for name in launcher.exe ravuninst.exe ravtrace.exe ravcoinst.dll; do
  [ -f "$bin/$name" ] && programs+=("$bin/$name")
done
[ ${#programs[@]} -gt 0 ] || { echo "FAILED: no shipped program in $bin"; exit 1; }

# A self-signed certificate for code signing, its key under a password.
openssl req -x509 -newkey rsa:2048 -sha256 -days 2 -subj "/CN=Throwaway test signer" \
  -addext "keyUsage=critical,digitalSignature" -addext "extendedKeyUsage=codeSigning" \
  -keyout "$work/key.pem" -passout pass:correct-horse -out "$work/cert.pem" 2>/dev/null
export SIGN_CERT="$work/cert.pem" SIGN_KEY="$work/key.pem"

if [ "$mode" = sign ]; then
  if SIGN_PASS=wrong "$tools/sign.sh" "$work/bad" "${programs[@]}" 2>"$work/bad.log"; then
    fail "signing with a wrong key password succeeded"
  fi
  [ ! -e "$work/bad" ] || fail "a failed signing left signed copies: $(ls "$work/bad")"
  ls -A "$work" | grep -q '^\.signing' && fail "a failed signing left its temporary directory"
fi

SIGN_PASS=correct-horse "$tools/sign.sh" "$work/signed" "${programs[@]}"
signed="$work/signed"

if [ "$mode" = sign ]; then
  for program in "${programs[@]}"; do
    name=$(basename "$program")
    if osslsigncode verify -CAfile "$SIGN_CERT" -in "$signed/$name" >"$work/verify.log" 2>&1 &&
      grep -q "Signature verification: ok" "$work/verify.log"; then
      echo "signed and verified: $name"
    else
      fail "$name: signature does not verify"; cat "$work/verify.log"
    fi
    # The check itself must see the difference.
    if osslsigncode verify -CAfile "$SIGN_CERT" -in "$program" >/dev/null 2>&1; then
      fail "$name: the unsigned program passes the verification too"
    fi
  done
  [ "$failures" = 0 ] || exit 1
  exit 0
fi

state=${3:?usage: $0 run BIN-DIR WINE-STATE}
run() { "$tools/wine-run.sh" "$state" "$@"; }
uninstaller_ends_with() {
  local want=$1 status=0
  shift
  run "$signed/ravuninst.exe" "$@" || status=$?
  if [ "$status" = "$want" ]; then
    echo "signed ravuninst.exe ${*:-(no mode)}: exit $status"
  else
    fail "signed ravuninst.exe ${*:-(no mode)}: exit $status, not $want"
  fi
}
ran=0

if [ -f "$signed/ravcoinst.dll" ]; then
  # The host loads the co-installer from the system directory, as SetupAPI
  # does; the INF and the host come from the tree.
  # shellcheck disable=SC1091
  . "$state/env"
  system="$WINEPREFIX/drive_c/windows/system32"
  cp "$signed/ravcoinst.dll" "$system/ravcoinst.dll"
  cp "$bin/ravwlantest.inf" "$work/ravwlantest.inf"
  inf="Z:$(printf '%s' "$work/ravwlantest.inf" | tr / '\\')"
  status=0
  output=$(run "$bin/device_setup_host.exe" "$inf" 'RAVTEST\ROW' 2>"$work/host.err") || status=$?
  installed=$(printf '%s\n' "$output" | sed -n 's/^inf=//p' | tr -d '\r')
  rm -f "$system/ravcoinst.dll"
  if [ -n "$installed" ]; then
    rm -f "$WINEPREFIX/drive_c/windows/inf/$installed" "$WINEPREFIX/drive_c/windows/inf/${installed%.*}.pnf" \
      "$system/$installed"
  fi
  # The second pass copies the installed INF into the system directory:
  # only the co-installer's own code does that.
  if [ "$status" = 0 ] && printf '%s\n' "$output" | grep -q '^backup=present'; then
    echo "signed ravcoinst.dll installed an adapter through SetupAPI"
  else
    fail "signed ravcoinst.dll through SetupAPI: exit $status"; printf '%s\n' "$output"; cat "$work/host.err"
  fi
  ran=1
fi

if [ -f "$signed/launcher.exe" ] || [ -f "$signed/ravuninst.exe" ]; then
  first=$(ls "$signed/launcher.exe" "$signed/ravuninst.exe" 2>/dev/null | head -1)
  format=$(x86_64-w64-mingw32-objdump -f "$first" | sed -n 's/.*file format //p')
  if [ "$format" = pei-i386 ] && ! why=$("$tools/can-run-32bit.sh"); then
    echo "SKIPPED: the signed 32-bit Setup.exe and ravuninst.exe were not run: $why"
  else
    if [ -f "$signed/launcher.exe" ]; then
      cp "$signed/launcher.exe" "$work/Setup.exe"
      status=0
      output=$(run "$work/Setup.exe" '/?' 2>&1) || status=$?
      if [ "$status" = 0 ] && printf '%s\n' "$output" | grep -q 'USAGE:'; then
        echo "signed Setup.exe /? printed its usage"
      else
        fail "signed Setup.exe /?: exit $status"; printf '%s\n' "$output"
      fi
    fi
    if [ -f "$signed/ravuninst.exe" ]; then
      # "quiet" only traces and ends with 0; no mode at all ends with 4.
      uninstaller_ends_with 0 quiet
      uninstaller_ends_with 4
    fi
    ran=1
  fi
fi

[ "$failures" = 0 ] || exit 1
[ "$ran" = 1 ] || exit 77
exit 0
