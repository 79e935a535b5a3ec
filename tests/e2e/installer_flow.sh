#!/usr/bin/env bash
# Both MSIs of a build under wine64: the per-user Tavori.msi (programs and the
# three host manifests in %LOCALAPPDATA%\Tavori, keys under HKCU) and the
# per-machine Tavori-PerMachine.msi (Program Files, keys under HKLM), side by
# side. Each installs silently, is upgraded by an MSI of a later version (made
# here from the same programs; its manifests name the later version, which
# shows that the upgrade replaced the files), refuses a downgrade, and
# uninstalls; after every step the files, the keys, the manifests' allowed
# extensions and version, and the registered version are checked, for both
# products.
# With a native build, the installed per-user host also logs in: the build's
# test winscard.dll stands in for the system's, before the virtual My Number
# card of that build's cardsim-daemon (reader on TAV_E2E_PORT, default 35300);
# the answer is compared byte for byte and its signature verified.
# Needs the caller's prepared WINEPREFIX (wineboot done) and a display.
# Usage: tests/e2e/installer_flow.sh <build-dir> [<linux-build-dir>]
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(cd "$here/../.." && pwd)"
# shellcheck source=tests/e2e/e2e_rig.sh
source "$here/e2e_rig.sh"
# shellcheck source=tests/e2e/card_rig.sh
source "$here/card_rig.sh"
rig_start installer "$1" "${2:-}"
port="${TAV_E2E_PORT:-35300}"
host=com.vandrel.kelvarist.tavori
chromium_origin="chrome-extension://mblpkikokepdkceenhnccllbdbchmdbb/"
firefox_id="tavori@kelvarist.vandrel"
version="$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build_dir/CMakeCache.txt")"
IFS=. read -r major minor patch tweak <<<"$version"
newer="$major.$minor.$((patch + 1)).${tweak:-0}"
files=(TAV_Wrapper.exe TAV.exe "$host.chrome.json" "$host.edge.json" "$host.firefox.json")
browsers=("Google\\Chrome:chrome" "Microsoft\\Edge:edge" "Mozilla:firefox")

winpath() { "$WINE" winepath -w "$1" 2>/dev/null | tr -d '\r'; }
# unix_path <windows-path>: empty when Wine cannot tell (then the checks fail).
unix_path() { "$WINE" winepath -u "$1" 2>/dev/null | tr -d '\r' || true; }
wine_echo() { "$WINE" cmd /c "echo $1" 2>/dev/null | tr -d '\r'; }
# The registry view the package writes to: 32-bit keys for an x86 package,
# whose programs find the system's DLLs in syswow64.
if grep -q 'Win64="yes"' "$build_dir/installer/tavori_user.wxs"; then
  arch=x64 view=/reg:64 program_files="$(wine_echo '%ProgramFiles%')" system=system32
else
  arch=x86 view=/reg:32 program_files="$(wine_echo '%ProgramFiles(x86)%')" system=syswow64
fi
declare -A dir_of=([user]="$(wine_echo '%LOCALAPPDATA%')\\Tavori" [machine]="$program_files\\Tavori")
declare -A hive_of=([user]=HKCU [machine]=HKLM)
declare -A name_of=([user]="Tavori" [machine]="Tavori (all users)")
declare -A msi_of=([user]=Tavori.msi [machine]=Tavori-PerMachine.msi)

"$root/installer/make_release.sh" "$newer" "$arch" 1700000000 "$build_dir/installer" \
  "$build_dir/release/TAV_Wrapper.exe" "$build_dir/release/TAV.exe" "$work/stage" "$work/newer" >/dev/null

failed=0
fail() { echo "FAILED $1" >&2; failed=1; }
ok() { if [ "$failed" -eq 0 ]; then echo "ok   $1"; fi; }

default_value() { "$WINE" reg query "$1" /ve "$view" 2>/dev/null | tr -d '\r' | sed -n 's/.*REG_SZ[[:space:]]*//p'; }
# registered <scope>: the versions of that product in the list of installed programs.
registered() {
  local hive
  for hive in HKLM HKCU; do
    "$WINE" reg query "$hive\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall" /s "$view" 2>/dev/null |
      tr -d '\r' | awk -v name="${name_of[$1]}" '
        /^HKEY/ { found = 0; shown = "" }
        $1 == "DisplayName" { sub(/.*REG_SZ[ \t]*/, ""); found = ($0 == name) }
        $1 == "DisplayVersion" { shown = $3 }
        found && shown != "" { print shown; found = 0 }'
  done
}

# installed <scope> <version>: files, manifests, keys and registration in place.
installed() {
  local scope="$1" expected="$2" dir unix_dir file entry
  dir="${dir_of[$scope]}"
  unix_dir="$(unix_path "$dir")"
  for file in "${files[@]}"; do
    [ -f "$unix_dir/$file" ] || fail "$scope: not installed: $file"
  done
  cmp -s "$unix_dir/TAV_Wrapper.exe" "$build_dir/release/TAV_Wrapper.exe" || fail "$scope: installed wrapper differs"
  grep -qF "\"allowed_origins\": [\"$chromium_origin\"]" "$unix_dir/$host.chrome.json" ||
    fail "$scope: the Chrome manifest does not allow $chromium_origin"
  grep -qF "\"allowed_origins\": [\"$chromium_origin\"]" "$unix_dir/$host.edge.json" ||
    fail "$scope: the Edge manifest does not allow $chromium_origin"
  grep -qF "\"allowed_extensions\": [\"$firefox_id\"]" "$unix_dir/$host.firefox.json" ||
    fail "$scope: the Firefox manifest does not allow $firefox_id"
  grep -qF "\"description\": \"Tavori $expected:" "$unix_dir/$host.chrome.json" ||
    fail "$scope: the manifest does not name version $expected"
  for entry in "${browsers[@]}"; do
    [ "$(default_value "${hive_of[$scope]}\\Software\\${entry%%:*}\\NativeMessagingHosts\\$host")" = \
      "$dir\\$host.${entry##*:}.json" ] || fail "$scope: ${entry%%:*} key does not name $dir\\$host.${entry##*:}.json"
  done
  [ "$(registered "$scope" | tr '\n' ' ')" = "$expected " ] ||
    fail "$scope: registered '$(registered "$scope" | tr '\n' ' ')', expected $expected"
}

# removed <scope>: no file, folder, key or registration left.
removed() {
  local scope="$1" unix_dir entry key keys=("${hive_of[$1]}\\Software\\Tavori")
  unix_dir="$(unix_path "${dir_of[$scope]}")"
  [ -n "$unix_dir" ] || fail "$scope: Wine cannot name ${dir_of[$scope]}"
  [ -e "$unix_dir" ] && fail "$scope: left behind: $(find "$unix_dir" | tr '\n' ' ')"
  for entry in "${browsers[@]}"; do
    keys+=("${hive_of[$scope]}\\Software\\${entry%%:*}\\NativeMessagingHosts\\$host")
  done
  for key in "${keys[@]}"; do
    if "$WINE" reg query "$key" "$view" >/dev/null 2>&1; then fail "$scope: key left behind: $key"; fi
  done
  [ -z "$(registered "$scope")" ] || fail "$scope: still registered: $(registered "$scope" | tr '\n' ' ')"
}

msiexec() {
  "$WINE" msiexec "$1" "$(winpath "$2")" /qn >/dev/null 2>&1
}

# log_in_installed: the browser starts the installed per-user host, which
# logs in with the virtual card.
log_in_installed() {
  local system_dir="$WINEPREFIX/drive_c/windows/$system" digest cert status=0
  mkdir -p "$work/keys"
  start_daemon --card mynumber
  cert="$work/certs/reader0-auth.der"
  digest="$(digest_info "installed log-in")"
  tav_frame '{"mode":"01","latest_version":"1","available_version":"1","digest":"'"$digest"'"}' >"$work/login"
  mv "$system_dir/winscard.dll" "$work/system-winscard.dll"
  cp "$build_dir/tests/e2e/winscard.dll" "$system_dir/"
  timeout 120 "$WINE" "$build_dir/tests/e2e/wrapper_driver.exe" \
    "${dir_of[user]}\\TAV_Wrapper.exe" "$(windows_path "$work/answer")" \
    send="$(windows_path "$work/login")" screen=PasswordSetScreen fill=1002:1234 click=1 gone \
    2>"$work/driver.log" || status=$?
  mv "$work/system-winscard.dll" "$system_dir/winscard.dll"
  stop_daemon
  if [ "$status" -ne 0 ]; then
    fail "log-in through the installed host: driver exit code $status"
    sed 's/^/  /' "$work/driver.log" >&2
    return
  fi
  # The wrapper relays TAV's answer without its trailing zero byte.
  tav_frame "$(answer_json mode 01 result 0 uuid "$(uuid)" signature "$(sign "$cert" "$digest")" \
    certificate "$(base64 -w0 "$cert")")" >"$work/expected"
  cmp -s "$work/answer" "$work/expected" || fail "log-in through the installed host: answer differs"
  verify "$cert" "$digest" "$(answer_field signature)" || fail "log-in through the installed host: signature"
}

msiexec /i "$build_dir/release/${msi_of[user]}" || fail "per-user install exited with $?"
installed user "$version"
removed machine
ok "per-user install $version: programs, manifests for our extension IDs, HKCU keys"
if [ -n "${daemon_bin:-}" ]; then
  log_in_installed
  ok "log-in through the installed per-user host: the answer byte for byte, its signature verified"
fi

msiexec /i "$build_dir/release/${msi_of[machine]}" || fail "per-machine install exited with $?"
installed machine "$version"
installed user "$version"
ok "per-machine install $version beside it: Program Files, HKLM keys ($view); the per-user one untouched"

msiexec /i "$work/newer/${msi_of[user]}" || fail "per-user upgrade exited with $?"
installed user "$newer"
installed machine "$version"
ok "per-user upgrade to $newer replaces $version; the per-machine one untouched"

if msiexec /i "$build_dir/release/${msi_of[user]}"; then fail "per-user downgrade to $version installed"; fi
installed user "$newer"
ok "per-user downgrade to $version refused"

msiexec /i "$work/newer/${msi_of[machine]}" || fail "per-machine upgrade exited with $?"
installed machine "$newer"
installed user "$newer"
ok "per-machine upgrade to $newer"

msiexec /x "$work/newer/${msi_of[user]}" || fail "per-user uninstall exited with $?"
removed user
installed machine "$newer"
ok "per-user uninstall: its files and keys gone, the per-machine one untouched"

msiexec /x "$work/newer/${msi_of[machine]}" || fail "per-machine uninstall exited with $?"
removed machine
removed user
ok "per-machine uninstall: files and keys gone"
exit "$failed"
