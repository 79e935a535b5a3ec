#!/usr/bin/env bash
# The 32-bit release as users install it, under Debian 13's Wine 10 (its WoW64
# mode, from the tree of scripts/wine10-tree.sh through tests/win/wine10/) in a
# fresh prefix: a win32 build's unit and Win32 test programs, then its TAV.exe,
# TAV_Wrapper.exe and test winscard.dll, driven by the same build's drivers,
# through the end-to-end scripts: the screens with their layout checks and
# screenshots, the virtual-card cases, the wrapper's relay, cancel and
# page-gone cases, both x86 MSIs with a log-in through the installed per-user
# host, and the password changes, certificate confirmations and version
# notices. Named scripts of tests/e2e run alone instead (each with the builds
# and screenshot folder it takes).
# Without a display it runs itself under Xvfb. The readers listen on
# TAV_E2E_PORT and the ports after it (default 36000). Fails when any test fails.
# Usage: tests/win/run_x86_tests.sh [win32-build-dir [linux-build-dir [script...]]]
#        (default: build/win32 build/linux, and every script above)
set -euo pipefail

if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(cd "$here/../.." && pwd)"
build_dir="$(cd "${1:-$root/build/win32}" && pwd)"
linux_build_dir="$(cd "${2:-$root/build/linux}" && pwd)"
shift $(($# < 2 ? $# : 2))
scripts=("$@")
programs=()
if [ ${#scripts[@]} -eq 0 ]; then
  programs=("$build_dir/tests/unit/tav_unit_tests.exe" "$build_dir/tests/win/tav_win_tests.exe")
  scripts=(screen_flow.sh card_flow.sh wrapper_flow.sh installer_flow.sh change_confirm_flow.sh)
fi
shots="$build_dir/e2e-screens"
export TAV_E2E_PORT="${TAV_E2E_PORT:-36000}"

# Wine 10's wine and wineserver before the machine's.
export PATH="$here/wine10:$PATH"
# shellcheck source=tests/win/wine_prefix.sh
source "$here/wine_prefix.sh"
prefix="$(mktemp -d /tmp/tav-wine10.XXXXXX)"
# A script still running when this run is ended goes first, with all it
# started: its next wine call would make the prefix anew.
script_run=""
cleanup() {
  if [ -n "$script_run" ]; then
    kill -- "-$script_run" 2>/dev/null || true
    wait "$script_run" 2>/dev/null || true
  fi
  wineserver -k >/dev/null 2>&1 || true
  rm -rf "$prefix"
}
trap cleanup EXIT
tav_wine_prefix "$prefix"
export TZ=Asia/Tokyo

failed=0
for program in "${programs[@]}"; do
  echo "== $(basename "$program"): the x86 build under Wine 10"
  if ! "$WINE" "$program" --gtest_brief=1 2>&1 | tav_without_wine32_notice; then
    failed=1
  fi
done
for script in "${scripts[@]}"; do
  script="$(basename "$script")"
  case "$script" in
    card_flow.sh | change_confirm_flow.sh) arguments=("$build_dir" "$linux_build_dir" "$shots") ;;
    installer_flow.sh) arguments=("$build_dir" "$linux_build_dir") ;;
    *) arguments=("$build_dir" "$shots") ;;
  esac
  echo "== $script: the x86 programs of $build_dir under Wine 10 (${SECONDS}s)"
  setsid "$root/tests/e2e/$script" "${arguments[@]}" &
  script_run=$!
  wait "$script_run" || failed=1
  script_run=""
done

if [ "$failed" -ne 0 ]; then
  echo "x86 tests under Wine 10 FAILED" >&2
  exit 1
fi
echo "x86 tests under Wine 10 passed (${SECONDS}s)"
