#!/usr/bin/env bash
# TAV.exe under wine64 with a card: the virtual cards of cardsim-daemon
# --listen behind tests/e2e/winscard.dll (TAV_TEST_READERS). Each case starts a
# daemon with its cards, runs TAV through ui_driver.exe as a user would, compares
# the answer byte for byte with the one built from the card's certificate and
# key, and verifies every signature with the certificate's public key.
# Needs a display and the caller's WINEPREFIX (run_wine_tests.sh sets both).
# The readers listen on TAV_E2E_PORT and the ports after it (default 35000).
# Usage: tests/e2e/card_flow.sh <win64-build-dir> <linux-build-dir> [shot-dir]
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
# shellcheck source=tests/e2e/frames.sh
source "$here/frames.sh"
build_dir="$(cd "$1" && pwd)"
daemon_bin="$(cd "$2" && pwd)/tools/cardsim/daemon/cardsim-daemon"
shots="${3:-$build_dir/e2e-screens}"
port="${TAV_E2E_PORT:-35000}"
WINE="${WINE:-wine}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:+$WINEDLLOVERRIDES;}winscard=n"

work="$(mktemp -d /tmp/tav-card-e2e.XXXXXX)"
daemon=""
stop_daemon() {
  if [ -n "$daemon" ]; then
    echo quit >&7 || true
    exec 7>&-
    wait "$daemon" 2>/dev/null || true
    daemon=""
  fi
}
trap 'stop_daemon; rm -rf "$work"' EXIT

windows_path() { printf 'Z:%s' "${1//\//\\}"; }
mkdir -p "$shots" "$work/keys"
cp "$build_dir/host/app/TAV.exe" "$build_dir/tests/e2e/winscard.dll" "$work/"
driver="$build_dir/tests/e2e/ui_driver.exe"
export TAV_SNAP_DIR
TAV_SNAP_DIR="$(windows_path "$work")"

# start_daemon <card options...>: one reader per --card, "Reader <i>" on port+i.
# Its standard input stays open on descriptor 7 ("remove 0", "insert 0").
start_daemon() {
  stop_daemon
  rm -rf "$work/certs" "$work/fifo"
  mkdir -p "$work/certs"
  mkfifo "$work/fifo"
  "$daemon_bin" --listen --port "$port" --key-dir "$work/keys" --export-dir "$work/certs" "$@" \
    <"$work/fifo" >"$work/daemon.log" 2>&1 &
  daemon=$!
  exec 7>"$work/fifo"
  local readers="" i=0 arg
  for arg in "$@"; do
    if [ "$arg" = --card ]; then
      readers+="${readers:+;}Reader $i=$((port + i))"
      i=$((i + 1))
    fi
  done
  export TAV_TEST_READERS="$readers"
  for _ in $(seq 100); do
    if grep -q ready "$work/daemon.log"; then return 0; fi
    sleep 0.05
  done
  echo "cardsim-daemon did not start:" >&2
  cat "$work/daemon.log" >&2
  return 1
}

# The private key of the pool whose public key is in a certificate file (DER).
key_of() {
  local want key
  want="$(openssl x509 -inform DER -in "$1" -noout -pubkey)"
  for key in "$work"/keys/*.pem; do
    if [ "$(openssl pkey -in "$key" -pubout)" = "$want" ]; then
      echo "$key"
      return 0
    fi
  done
  return 1
}

# sign <certificate.der> <base64 DigestInfo>: the PKCS#1 v1.5 signature the
# card's key gives, in base64 (deterministic, so it can be compared byte for byte).
sign() {
  printf '%s' "$2" | base64 -d >"$work/tbs"
  openssl pkeyutl -sign -inkey "$(key_of "$1")" -in "$work/tbs" | base64 -w0
}

# verify <certificate.der> <base64 DigestInfo> <base64 signature>
verify() {
  openssl x509 -inform DER -in "$1" -noout -pubkey >"$work/pub.pem"
  printf '%s' "$2" | base64 -d >"$work/tbs"
  printf '%s' "$3" | base64 -d >"$work/sig"
  openssl pkeyutl -verify -pubin -inkey "$work/pub.pem" -in "$work/tbs" -sigfile "$work/sig" >/dev/null
}

# A SHA-256 DigestInfo of a text, in base64.
digest_info() {
  { printf '3031300d060960864801650304020105000420' | xxd -r -p; printf '%s' "$1" | openssl dgst -sha256 -binary; } |
    base64 -w0
}

# The value of a "name":"value" line of the received answer.
answer_field() { tail -c +5 "$work/answer" | tr -d '\0' | sed -n "s/^  \"$1\":\"\\(.*\\)\",\\{0,1\\}\r\$/\\1/p"; }

# answer_json <name> <value> ...: the answer text TAV writes for these fields.
answer_json() {
  local text=$'{\r\n' separator=""
  while [ $# -ge 2 ]; do
    text+="$separator  \"$1\":\"$2\""
    separator=$',\r\n'
    shift 2
  done
  printf '%s' "$text"$'\r\n}'
}

failed=0
# run_case <name> <request-json> <driver step>...: leaves the answer in $work/answer.
run_case() {
  local name="$1" status=0
  tav_frame "$2" >"$work/request"
  shift 2
  rm -f "$work/answer" "$work/answer.log"
  timeout 120 "$WINE" "$driver" "$(windows_path "$work/TAV.exe")" "$(windows_path "$work/request")" \
    "$(windows_path "$work/answer")" "$@" 2>"$work/driver.log" || status=$?
  if [ "$status" -ne 0 ]; then
    echo "FAILED $name: driver exit code $status" >&2
    sed 's/^/  /' "$work/answer.log" >&2 || true
    failed=1
    return 1
  fi
}

# expect <name> <expected-json>: byte for byte.
expect() {
  tav_answer_frame "$2" >"$work/expected"
  if cmp -s "$work/answer" "$work/expected"; then
    echo "ok   $1"
    return 0
  fi
  echo "FAILED $1: answer differs" >&2
  echo "  expected: $(tail -c +5 "$work/expected" | tr -d '\r\0' | tr '\n' ' ' | cut -c1-400)" >&2
  echo "  received: $(tail -c +5 "$work/answer" | tr -d '\r\0' | tr '\n' ' ' | cut -c1-400)" >&2
  failed=1
}

# The UUID is made by TAV; it must be 32 hexadecimal digits.
uuid() {
  local value
  value="$(answer_field uuid)"
  if [[ ! "$value" =~ ^[0-9A-F]{32}$ ]]; then
    echo "FAILED: uuid \"$value\" is not 32 hexadecimal digits" >&2
    failed=1
  fi
  printf '%s' "$value"
}

versions='"latest_version":"1","available_version":"1"'

# --- log-in (mode 01): one signature with the authentication key
login_digest="$(digest_info "log-in challenge")"
start_daemon --card mynumber
cert="$work/certs/reader0-auth.der"
if run_case "log-in" '{"mode":"01",'"$versions"',"service_id":"01","digest":"'"$login_digest"'"}' \
  screen=PasswordSetScreen type=1002:1234 click=1; then
  expect "log-in" "$(answer_json mode 01 result 0 uuid "$(uuid)" signature "$(sign "$cert" "$login_digest")" \
    certificate "$(base64 -w0 "$cert")")"
  verify "$cert" "$login_digest" "$(answer_field signature)" || { echo "FAILED log-in: signature" >&2; failed=1; }
fi

stop_daemon
exit "$failed"
