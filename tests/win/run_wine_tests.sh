#!/usr/bin/env bash
# Runs the Windows test programs of a win64 build under wine64 in a fresh
# prefix (100% on a 1366x728 work area), then TAV.exe end to end with its
# windows; every screen at its tallest also in a second prefix at 125% on a
# 1366x708 work area. Fails when any test fails.
# Windows need a display: without one the script runs itself under Xvfb.
# The card cases take cardsim-daemon from the native build.
# Usage: tests/win/run_wine_tests.sh [build-dir [linux-build-dir]]   (default: build/win64 build/linux)
# The win32 release runs under Wine 10 instead: tests/win/run_x86_tests.sh.
set -euo pipefail

if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1600x1200x24" "$0" "$@"
fi

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(cd "$here/../.." && pwd)"
build_dir="$(cd "${1:-$root/build/win64}" && pwd)"
linux_build_dir="$(cd "${2:-$root/build/linux}" && pwd)"
# shellcheck source=tests/win/wine_prefix.sh
source "$here/wine_prefix.sh"

prefix="$(mktemp -d /tmp/tav-wine.XXXXXX)"
prefix125="$(mktemp -d /tmp/tav-wine125.XXXXXX)"
cleanup() {
  WINEPREFIX="$prefix125" wineserver -k >/dev/null 2>&1 || true
  wineserver -k >/dev/null 2>&1 || true
  rm -rf "$prefix" "$prefix125"
}
trap cleanup EXIT
tav_wine_prefix "$prefix"
# The 125% prefix is made while the first tests run.
(tav_wine_prefix "$prefix125" 120 1366x708) &
prefix125_maker=$!
# The local-time tests expect UTC+9; wine takes its time zone from TZ.
export TZ=Asia/Tokyo

failed=0
run_test_program() {
  local program="$1" status=0
  echo "== $(basename "$program") under wine64"
  "$WINE" "$program" --gtest_brief=1 >"$prefix/test.log" 2>&1 || status=$?
  tav_without_wine32_notice <"$prefix/test.log"
  if [ "$status" -ne 0 ]; then
    echo "FAILED: $(basename "$program") exited with $status" >&2
    failed=1
  fi
}

run_test_program "$build_dir/tests/unit/tav_unit_tests.exe"
run_test_program "$build_dir/tests/win/tav_win_tests.exe"

echo "== TAV.exe screens and answer frames under wine64 (screenshots in $build_dir/e2e-screens)"
if ! "$root/tests/e2e/screen_flow.sh" "$build_dir" "$build_dir/e2e-screens"; then
  failed=1
fi
echo "== TAV.exe with the virtual cards of cardsim-daemon under wine64"
if ! "$root/tests/e2e/card_flow.sh" "$build_dir" "$linux_build_dir" "$build_dir/e2e-screens"; then
  failed=1
fi

echo "== TAV.exe: the page ends a run while a modal dialog is open, under wine64"
if ! "$root/tests/e2e/interrupt_flow.sh" "$build_dir" "$linux_build_dir"; then
  failed=1
fi

echo "== TAV_Wrapper.exe in front of TAV.exe under wine64: frames in, answers out"
if ! "$root/tests/e2e/wrapper_flow.sh" "$build_dir" "$build_dir/e2e-screens"; then
  failed=1
fi

echo "== both MSIs installed, upgraded and uninstalled side by side under wine64; a log-in through the installed host"
if ! "$root/tests/e2e/installer_flow.sh" "$build_dir" "$linux_build_dir"; then
  failed=1
fi

for browser in chromium firefox; do
  echo "== $browser, headless: the demo page and the real extension in front of TAV_Wrapper.exe under wine64"
  if ! "$root/tests/browser/browser_flow.sh" "$build_dir" "$linux_build_dir" browser_cases.mjs "$browser"; then
    failed=1
  fi
done

echo "== TAV.exe signing through the registered test provider under wine64"
if ! "$root/tests/e2e/provider_flow.sh" "$build_dir"; then
  failed=1
fi

echo "== TAV.exe password changes, certificate confirmations and version notices under wine64"
if ! "$root/tests/e2e/change_confirm_flow.sh" "$build_dir" "$linux_build_dir" "$build_dir/e2e-screens"; then
  failed=1
fi

echo "== every screen of TAV.exe at its tallest, at 100% and 125% (shots, sizes: $build_dir/e2e-screens/fit-*)"
if ! "$root/tests/e2e/fit_flow.sh" "$build_dir" "$linux_build_dir" "$build_dir/e2e-screens/fit-100"; then
  failed=1
fi
if ! wait "$prefix125_maker" ||
  ! WINEPREFIX="$prefix125" "$root/tests/e2e/fit_flow.sh" "$build_dir" "$linux_build_dir" \
    "$build_dir/e2e-screens/fit-125"; then
  failed=1
fi

if [ "$failed" -ne 0 ]; then
  echo "Windows tests FAILED" >&2
  exit 1
fi
echo "Windows tests passed"
