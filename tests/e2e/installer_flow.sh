#!/usr/bin/env bash
# The MSI under wine64: a silent per-user install puts both programs and the
# three host manifests in place and registers the manifests for Chrome, Edge
# and Firefox; a silent uninstall removes files and keys again.
# Needs the caller's prepared WINEPREFIX (wineboot done) and a display.
# Usage: tests/e2e/installer_flow.sh <build-dir>
set -euo pipefail

build_dir="$(cd "$1" && pwd)"
WINE="${WINE:-wine}"
export WINEDEBUG="${WINEDEBUG:--all}"
msi="$build_dir/installer/Tavori.msi"
host=com.vandrel.kelvarist.tavori
keys=("HKCU\\Software\\Google\\Chrome\\NativeMessagingHosts\\$host"
      "HKCU\\Software\\Microsoft\\Edge\\NativeMessagingHosts\\$host"
      "HKCU\\Software\\Mozilla\\NativeMessagingHosts\\$host")
files=(TAV_Wrapper.exe TAV.exe "$host.chrome.json" "$host.edge.json" "$host.firefox.json")

local_app_data="$("$WINE" cmd /c 'echo %LOCALAPPDATA%' 2>/dev/null | tr -d '\r')"
install_dir="$("$WINE" winepath -u "$local_app_data\\Tavori" 2>/dev/null | tr -d '\r')"
failed=0
fail() { echo "FAILED $1" >&2; failed=1; }

"$WINE" msiexec /i "$("$WINE" winepath -w "$msi" 2>/dev/null | tr -d '\r')" /qn >/dev/null 2>&1 ||
  fail "msiexec /i exited with $?"
for file in "${files[@]}"; do
  [ -f "$install_dir/$file" ] || fail "not installed: $file"
done
cmp -s "$install_dir/TAV_Wrapper.exe" "$build_dir/wrapper/win32/TAV_Wrapper.exe" || fail "installed wrapper differs"
for key in "${keys[@]}"; do
  manifest="$("$WINE" reg query "$key" /ve 2>/dev/null | tr -d '\r' | sed -n 's/.*REG_SZ[[:space:]]*//p')"
  case "$manifest" in
    "$local_app_data\\Tavori\\$host."*.json) ;;
    *) fail "key $key names '$manifest'" ;;
  esac
done
[ "$failed" -eq 0 ] && echo "ok   silent per-user install: programs, manifests, keys"

"$WINE" msiexec /x "$("$WINE" winepath -w "$msi" 2>/dev/null | tr -d '\r')" /qn >/dev/null 2>&1 ||
  fail "msiexec /x exited with $?"
[ -e "$install_dir" ] && fail "left behind: $(find "$install_dir" | tr '\n' ' ')"
for key in "${keys[@]}"; do
  if "$WINE" reg query "$key" >/dev/null 2>&1; then fail "key left behind: $key"; fi
done
[ "$failed" -eq 0 ] && echo "ok   silent uninstall: files and keys gone"
exit "$failed"
