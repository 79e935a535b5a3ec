#!/usr/bin/env bash
# Every screen of TAV.exe at its tallest, in the prefix's scale and on its
# desktop (the display's work area): the banner, the longest origin (267
# characters), the red lines open, the address fields shown, long certificate
# texts, in Japanese and English. Each screen gets the layout check (the whole
# frame inside the work area, all of the screen shown, nothing cut or
# overlapping) and a screenshot; the end confirmation and the version
# information must lie inside the work area too. The frames' sizes go to
# <shot-dir>/layout.txt. The readers listen on TAV_E2E_PORT and the ports after
# it (default 35300). Needs a display and the caller's WINEPREFIX.
# Usage: tests/e2e/fit_flow.sh <win64-build-dir> <linux-build-dir> <shot-dir>
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
# shellcheck source=tests/e2e/e2e_rig.sh
source "$here/e2e_rig.sh"
# shellcheck source=tests/e2e/card_rig.sh
source "$here/card_rig.sh"
rig_start fit-e2e "$1" "$2"
port="${TAV_E2E_PORT:-35300}"
mkdir -p "$work/keys" "$3"
cp "$build_dir/host/app/TAV.exe" "$build_dir/tests/e2e/winscard.dll" "$work/"
start_snapper "$3"
rm -f "$3/layout.txt"
export TAV_LAYOUT_LOG
TAV_LAYOUT_LOG="$(windows_path "$(cd "$3" && pwd)/layout.txt")"

failed=0
# run_case <name> <result> <request-json> <driver step>...: the run goes as the
# steps say and answers with that "result".
run_case() {
  local name="$1" result="$2" status=0
  tav_frame "$3" >"$work/request"
  shift 3
  drive_tav "$work/request" "$work/answer" "$@" 2>"$work/driver.log" || status=$?
  if [ "$status" -ne 0 ]; then
    echo "FAILED $name: driver exit code $status" >&2
    sed 's/^/  /' "$work/answer.log" >&2 || true
    failed=1
  elif [ "$(answer_field result)" != "$result" ]; then
    echo "FAILED $name: result \"$(answer_field result)\", not \"$result\"" >&2
    failed=1
  else
    echo "ok   $name"
  fi
}

versions='"latest_version":"1","available_version":"1"'
origin="$(longest_origin)"
digest="$(digest_info "a filing")"

# --- no reader: the card request with its red line and the FAQ article, then
# the end confirmation; the GPKI modes end on the error screen with the article.
unset TAV_TEST_READERS
run_case "card request, its error and address" 9 '{"mode":"01",'"$versions"',"service_id":"01","digest":"'"$digest"'"}' \
  screen=CardRequestScreen click=1 text=1039:EW140 layout snap=card_request click=2 alert=ok
run_case "error screen and its address, the version information" 1 \
  '{"mode":"11",'"$versions"',"service_id":"02","digest":["'"$digest"'"]}' \
  screen=ErrorScreen text=1039:EWC40 layout snap=error click=57664 version=1 screen=ErrorScreen click=1
run_case "version notice" 9 '{"mode":"01","latest_version":"9","available_version":"1","service_id":"01","digest":"'"$digest"'"}' \
  screen=VersionInfoScreen layout snap=version_notice close

# --- the My Number card, its holder's name and address long: the password
# entry of a signing with its count, after a wrong password, the confirmation.
# The GPKI card in the second reader: a hostile certificate (make_hostile_gpki).
long_name="$(printf '長%.0s' $(seq 60))"
long_address="東京都千代田区霞が関$(printf '２丁目１番２号%.0s' $(seq 20))"
make_hostile_gpki
start_daemon --card mynumber --name "$long_name" --address "$long_address" --card gpki \
  --cert user="$work/hostile/user.pem" --key user="$work/hostile/user.key" --cert second="$work/hostile/ca.pem"
run_case "07: password entry, wrong password, confirmation" 0 \
  '{"mode":"07",'"$versions"',"service_id":"02","origin":"'"$origin"'","digest":["'"$digest"'"]}' \
  screen=PasswordSetScreen layout snap=password_signing type=1002:abc999 click=1 \
  screen=PasswordSetScreen text=1039:EW240 layout snap=password_signing_wrong type=1002:abc123 click=1 \
  screen=CertificateConfirmScreen text=1067:長長長 layout snap=certificate_confirm click=1 gone=CertificateConfirmScreen
run_case "01 in English: password entry with its link, wrong password" 0 \
  '{"mode":"01",'"$versions"',"service_id":"01","language":"en","pw_change":"1","origin":"'"$origin"'","digest":"'"$digest"'"}' \
  screen=PasswordSetScreen layout="Segoe UI" snap=password_english type=1002:9999 click=1 \
  screen=PasswordSetScreen text=1039:EW140 layout="Segoe UI" snap=password_english_wrong type=1002:1234 click=1

# --- the GPKI card: the password entry with its count and link, after a wrong
# password, the confirmation of a hostile certificate and of its CA.
run_case "12: password entry, wrong password, both certificates" 0 \
  '{"mode":"12",'"$versions"',"service_id":"01","pw_change":"1","origin":"'"$origin"'","digest":["'"$digest"'"]}' \
  screen=PasswordSetScreen layout snap=password_gpki type=1002:WRONG1234 click=1 \
  screen=PasswordSetScreen text=1039:EWC40 layout snap=password_gpki_wrong type=1002:GPKI1234 click=1 \
  screen=CertificateConfirmScreenGpkiAp listkey=1076:home row=1076:0 layout snap=certificate_gpki click=1080 \
  text=1075:認証局の自己証明書 layout snap=certificate_gpki_ca click=1 text=1075:内容を確認の上 click=1 \
  gone=CertificateConfirmScreenGpkiAp
# The change screen's red line opens in place: the frame grows, still inside.
run_case "13: password change, its rule broken" 9 '{"mode":"13",'"$versions"',"origin":"'"$origin"'"}' \
  screen=PasswordChangeScreen layout snap=password_change_gpki type=1002:GPKI1234 type=1004:New-Pass1 \
  type=1005:New-Pass1 click=1 text=1039:新しいパスワード layout snap=password_change_gpki_error click=2 alert=ok

# --- the password change of the My Number card, each screen, and the result.
run_case "06: selection, change, its rule broken, result" 0 '{"mode":"06",'"$versions"',"origin":"'"$origin"'"}' \
  screen=PasswordSelectScreen layout snap=password_select radio=1048 click=1 screen=PasswordChangeScreen layout \
  snap=password_change type=1002:1234 type=1004:4321 type=1005:4322 click=1 text=1039:新しいパスワード layout \
  snap=password_change_error type=1002:1234 type=1004:4321 type=1005:4321 click=1 \
  screen=PasswordChangeResultScreen layout snap=password_change_result click=1 screen=PasswordSelectScreen click=2 alert=ok

# --- a slow card signs: the processing screen with its count.
start_daemon --card mynumber --delay-ms 300
run_case "02: processing" 0 \
  '{"mode":"02",'"$versions"',"service_id":"01","digest":["'"$digest"'","'"$digest"'","'"$digest"'","'"$digest"'"]}' \
  screen=PasswordSetScreen type=1002:abc123 click=1 screen=ProcessingScreen text=-1:/4 layout snap=processing \
  gone=ProcessingScreen

stop_daemon
exit "$failed"
