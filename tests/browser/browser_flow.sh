#!/usr/bin/env bash
# A real browser in front of TAV_Wrapper.exe: Debian's Chromium or Firefox ESR,
# headless, with the real extension (web/extension) and the demo page (web/demo)
# served on 127.0.0.1 by the demo's server, which verifies its log-ins. The host
# manifest points at a launcher that runs TAV_Wrapper.exe under wine64 on the
# browser's own pipes; TAV.exe reaches the virtual My Number card (cardsim-daemon
# behind tests/e2e/winscard.dll); wrapper_driver.exe plays the user on TAV's
# screens. The Node script names the cases (tests/browser/rig.mjs is their rig).
# Needs the caller's prepared WINEPREFIX and a display. The reader listens on
# TAV_E2E_PORT (default 35200).
# With --linux the host is the Linux build's TAV_Wrapper, beside the test-only
# TAV (tav_driven) that plays the user on its Qt screens, and TAV reaches the
# virtual card through a private pcscd (tests/linux/pcscd_rig.sh); no Wine.
# Usage: tests/browser/browser_flow.sh <win64-build-dir> <linux-build-dir> <script.mjs> [arguments...]
#        tests/browser/browser_flow.sh --linux <linux-build-dir> <script.mjs> [arguments...]
#   e.g. browser_cases.mjs chromium|firefox, main_login.mjs, timings.mjs RUNS
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
if [ "$1" = --linux ]; then
  linux_build="$(cd "$2" && pwd)"
  script="$3"
  shift 3
  work="$(mktemp -d /tmp/tav-browser-linux.XXXXXX)"
  # shellcheck source=tests/linux/pcscd_rig.sh
  source "$here/../linux/pcscd_rig.sh"
  trap 'status=$?; stop_pcscd_rig; rm -rf "$work"; exit $status' EXIT
  mkdir -p "$work/tavori"
  cp "$linux_build/wrapper/qt/TAV_Wrapper" "$work/tavori/TAV_Wrapper"
  cp "$linux_build/tests/qt/tav_driven" "$work/tavori/TAV"
  start_pcscd_rig --card mynumber --card gpki
  export TAV_RIG_HOST=linux TAV_RIG_WORK="$work" TAV_RIG_INSTALL="$work/tavori"
  export TAV_RIG_TRUST_ANCHORS="$pcscd_certs/reader0-auth-ca.der"
  # A case that failed may leave TAV on a screen with the browser waiting for it: bounded.
  timeout 600 node "$here/$script" "$@"
  exit
fi
# shellcheck source=tests/e2e/e2e_rig.sh
source "$here/../e2e/e2e_rig.sh"
# shellcheck source=tests/e2e/card_rig.sh
source "$here/../e2e/card_rig.sh"
rig_start browser "$1" "$2"
script="$3"
shift 3
port="${TAV_E2E_PORT:-35200}"

mkdir -p "$work/keys" "$work/tavori"
cp "$build_dir/wrapper/win32/TAV_Wrapper.exe" "$build_dir/host/app/TAV.exe" "$build_dir/tests/e2e/winscard.dll" \
  "$work/tavori/"
start_daemon --card mynumber --card gpki
export TAV_RIG_WORK="$work" TAV_RIG_INSTALL="$work/tavori" TAV_RIG_DRIVER="$build_dir/tests/e2e/wrapper_driver.exe"
# The demo server takes log-in certificates of the virtual card's CA, as the daemon exported it.
export TAV_RIG_TRUST_ANCHORS="$work/certs/reader0-auth-ca.der"
# A case that failed may leave TAV on a screen with the browser waiting for it: bounded.
timeout 600 node "$here/$script" "$@"
