#!/usr/bin/env bash
# Sets up the machine, builds everything, and runs the whole chain under wine64:
# a request frame into TAV_Wrapper.exe, which starts TAV.exe beside it; TAV
# shows its screens (under Xvfb when there is no display) and talks to a
# virtual My Number card (cardsim-daemon behind tests/e2e/winscard.dll).
# tests/e2e/wrapper_driver.exe plays the browser and the user. By default: a
# log-in, the driver enters the password, and the signature of the answer the
# browser receives is verified with the card's certificate. With a request file
# the driver steps follow it (see tests/e2e/wrapper_driver.cpp; default: close
# the first screen and confirm the end).
# Usage: scripts/run-main.sh [request.json [driver steps...]]   (default: a log-in request)
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
"$root/scripts/install-deps.sh"
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi

for preset in linux win64 win32; do
  echo "=== build: $preset"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j2
done

# shellcheck source=tests/win/wine_prefix.sh
source "$root/tests/win/wine_prefix.sh"
# shellcheck source=tests/e2e/frames.sh
source "$root/tests/e2e/frames.sh"
tav_wine_prefix "$root/build/wine-prefix"

work="$(mktemp -d /tmp/tav-run.XXXXXX)"
daemon=""
cleanup() {
  if [ -n "$daemon" ]; then
    echo quit >&7 || true
    wait "$daemon" 2>/dev/null || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT
windows_path() { printf 'Z:%s' "${1//\//\\}"; }

# The virtual My Number card (log-in password 1234) in a reader that TAV.exe
# reaches through the test winscard.dll beside it.
port="${TAV_E2E_PORT:-35000}"
mkfifo "$work/daemon-input"
"$root/build/linux/tools/cardsim/daemon/cardsim-daemon" --listen --port "$port" --key-dir "$work" \
  --export-dir "$work" --card mynumber <"$work/daemon-input" >"$work/daemon.log" 2>&1 &
daemon=$!
exec 7>"$work/daemon-input"
for _ in $(seq 200); do
  if grep -q ready "$work/daemon.log"; then break; fi
  sleep 0.05
done
# The two programs side by side, as the installer puts them.
mkdir -p "$work/tavori"
cp "$root/build/win64/wrapper/win32/TAV_Wrapper.exe" "$root/build/win64/host/app/TAV.exe" \
  "$root/build/win64/tests/e2e/winscard.dll" "$work/tavori/"
export TAV_TEST_READERS="Reader 0=$port" WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winscard=n"

if [ $# -ge 1 ]; then
  request="$(cat "$1")"
  shift
  steps=("$@")
  if [ ${#steps[@]} -eq 0 ]; then steps=(end); fi
else
  # A log-in: the SHA-256 DigestInfo of a challenge, signed with the card's
  # authentication key once the user has typed the password.
  digest="$({ printf '3031300d060960864801650304020105000420' | xxd -r -p; printf 'challenge' | openssl dgst -sha256 -binary; } |
    base64 -w0)"
  request='{"mode":"01","latest_version":"1","available_version":"1","service_id":"01","digest":"'"$digest"'"}'
  steps=(screen=PasswordSetScreen fill=1002:1234 click=1)
fi

tav_frame "$request" >"$work/request"
echo "=== request"
echo "$request"
status=0
timeout 300 "$WINE" "$root/build/win64/tests/e2e/wrapper_driver.exe" "$(windows_path "$work/tavori/TAV_Wrapper.exe")" \
  "$(windows_path "$work/answer")" send="$(windows_path "$work/request")" "${steps[@]}" \
  2> >(tav_without_wine32_notice >&2) || status=$?
echo "=== answer of TAV_Wrapper.exe (driver exit code $status, $(stat -c %s "$work/answer") bytes on standard output)"
tav_frame_decode "$work/answer" | tee "$work/answer.json"
if [ $# -eq 0 ] && [ "$status" -eq 0 ]; then
  field() { sed -n "s/^  \"$1\":\"\\(.*\\)\",\\{0,1\\}\r\\{0,1\\}\$/\\1/p" "$work/answer.json"; }
  field certificate | base64 -d >"$work/certificate.der"
  field signature | base64 -d >"$work/signature"
  printf '%s' "$digest" | base64 -d >"$work/digest-info"
  openssl x509 -inform DER -in "$work/certificate.der" -noout -pubkey >"$work/public.pem"
  echo "=== signature checked with the certificate's public key (OpenSSL)"
  openssl pkeyutl -verify -pubin -inkey "$work/public.pem" -in "$work/digest-info" -sigfile "$work/signature"
fi
