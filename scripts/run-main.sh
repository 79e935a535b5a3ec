#!/usr/bin/env bash
# The main job on a fresh Debian machine: installs what it needs, builds only the
# programs it runs, then a web page logs in with the virtual My Number card.
# The demo page (web/demo) in headless Chromium gets a challenge from the demo's
# server (web/demo/server.mjs) and calls authenticate() of web/tavori.js; the real
# extension (web/extension) asks the user, in its consent window, to allow the
# page's origin, and starts TAV_Wrapper.exe, which runs TAV.exe, under wine64 (and
# Xvfb); TAV reaches the virtual card (cardsim-daemon behind
# tests/e2e/winscard.dll). The test drivers play the user: the browser driver
# allows the origin, wrapper_driver.exe types the PIN and presses Enter. The page
# posts the token; the demo server verifies it and prints "verified: …", which the
# page shows.
# With a request file the request goes straight into TAV_Wrapper.exe instead, and
# wrapper_driver.exe plays the browser too, following the steps (see
# tests/e2e/wrapper_driver.cpp; default: close the first screen and confirm the end).
# With "linux" the same log-in runs natively, without Wine: the Linux build's
# TAV_Wrapper and TAV (its Qt screens played by the test-only tav_driven), the
# virtual card behind a private pcscd with the vpcd reader driver.
# Usage: scripts/run-main.sh [request.json [driver steps...]]
#        scripts/run-main.sh linux
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
if [ -z "${TAV_MAIN_UNDER_XVFB:-}" ]; then
  if [ "${1:-}" = linux ]; then
    "$root/scripts/install-deps.sh" main-linux
  else
    "$root/scripts/install-deps.sh" main
  fi
fi
if [ -z "${DISPLAY:-}" ]; then
  TAV_MAIN_UNDER_XVFB=1 exec xvfb-run -a -s "-screen 0 1600x1200x24" "$0" "$@"
fi

if [ "${1:-}" = linux ]; then
  echo "=== build: TAV_Wrapper, TAV as tav_driven, cardsim-daemon and the pcscd rig (linux)"
  cmake --preset linux >/dev/null
  cmake --build --preset linux -j2 --target TAV_Wrapper tav_driven cardsim-daemon cardsim-pcscd
  exec "$root/tests/browser/browser_flow.sh" --linux "$root/build/linux" main_login.mjs
fi

# shellcheck source=tests/win/wine_prefix.sh
source "$root/tests/win/wine_prefix.sh"
# shellcheck source=tests/e2e/frames.sh
source "$root/tests/e2e/frames.sh"
# Wine makes its prefix while the compilers run.
tav_wine_prefix "$root/build/wine-prefix" &
prefix_maker=$!

echo "=== build: cardsim-daemon (linux)"
cmake --preset linux >/dev/null
cmake --build --preset linux -j2 --target cardsim-daemon
echo "=== build: TAV.exe, TAV_Wrapper.exe, the test winscard.dll and wrapper_driver.exe (win64)"
cmake --preset win64 >/dev/null
cmake --build --preset win64 -j2 --target TAV TAV_Wrapper e2e_winscard wrapper_driver

wait "$prefix_maker"
tav_wine_prefix "$root/build/wine-prefix"
if [ $# -eq 0 ]; then
  exec "$root/tests/browser/browser_flow.sh" "$root/build/win64" "$root/build/linux" main_login.mjs
fi

work="$(mktemp -d /tmp/tav-run.XXXXXX)"
daemon=""
daemon_bin="$root/build/linux/tools/cardsim/daemon/cardsim-daemon"
port="${TAV_E2E_PORT:-35000}"
# shellcheck source=tests/e2e/card_rig.sh
source "$root/tests/e2e/card_rig.sh"
trap 'stop_daemon; rm -rf "$work"' EXIT
windows_path() { printf 'Z:%s' "${1//\//\\}"; }

# The virtual My Number card (log-in password 1234) in a reader that TAV.exe
# reaches through the test winscard.dll beside it.
mkdir -p "$work/keys"
start_daemon --card mynumber
# The two programs side by side, as the installer puts them.
mkdir -p "$work/tavori"
cp "$root/build/win64/wrapper/win32/TAV_Wrapper.exe" "$root/build/win64/host/app/TAV.exe" \
  "$root/build/win64/tests/e2e/winscard.dll" "$work/tavori/"
export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winscard=n"

request="$(cat "$1")"
shift
steps=("$@")
if [ ${#steps[@]} -eq 0 ]; then steps=(end); fi

tav_frame "$request" >"$work/request"
echo "=== request"
echo "$request"
status=0
timeout 300 "$WINE" "$root/build/win64/tests/e2e/wrapper_driver.exe" "$(windows_path "$work/tavori/TAV_Wrapper.exe")" \
  "$(windows_path "$work/answer")" send="$(windows_path "$work/request")" "${steps[@]}" \
  2> >(tav_without_wine32_notice >&2) || status=$?
echo "=== answer of TAV_Wrapper.exe (driver exit code $status, $(stat -c %s "$work/answer") bytes on standard output)"
tav_frame_decode "$work/answer"
exit "$status"
