#!/usr/bin/env bash
# Sets up the machine, builds everything, and runs the whole chain under wine64:
# the request frame into TAV_Wrapper.exe, which starts TAV.exe and relays its
# answer; prints the request and the answer as the browser receives it. TAV
# shows its screens (under Xvfb when there is no display);
# tests/e2e/wrapper_driver.exe plays the browser and acts as the user: by
# default it closes the first screen and confirms the end. Other driver steps
# may follow the request file (see tests/e2e/wrapper_driver.cpp).
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

if [ $# -ge 1 ]; then
  request="$(cat "$1")"
  shift
else
  # A log-in: one SHA-256 digest to sign with the card's authentication key.
  request='{"mode":"01","latest_version":"1","available_version":"1","service_id":"01","digest":"n4bQgYhMfWWaL+qgxVrQFaO/TxsrC4Is0V1sFbDwCgg="}'
fi
steps=("$@")
if [ ${#steps[@]} -eq 0 ]; then steps=(end); fi

work="$(mktemp -d /tmp/tav-run.XXXXXX)"
trap 'rm -rf "$work"' EXIT
windows_path() { printf 'Z:%s' "${1//\//\\}"; }
tav_frame "$request" >"$work/request"
echo "=== request"
echo "$request"
status=0
# The two programs side by side, as the installer puts them.
mkdir -p "$work/tavori"
cp "$root/build/win64/wrapper/win32/TAV_Wrapper.exe" "$root/build/win64/host/app/TAV.exe" "$work/tavori/"
timeout 300 "$WINE" "$root/build/win64/tests/e2e/wrapper_driver.exe" "$(windows_path "$work/tavori/TAV_Wrapper.exe")" \
  "$(windows_path "$work/answer")" send="$(windows_path "$work/request")" "${steps[@]}" \
  2> >(tav_without_wine32_notice >&2) || status=$?
echo "=== answer of TAV_Wrapper.exe (driver exit code $status, $(stat -c %s "$work/answer") bytes on standard output)"
tav_frame_decode "$work/answer"
