#!/usr/bin/env bash
# TAV.exe under wine64 with the virtual cards of cardsim-daemon --listen: the
# password changes (06, 13), the certificate confirmations (07, 12, with the CA
# certificate, its fingerprint and its file output) and the version notices.
# Answers are compared byte for byte, signatures verified with the card's
# certificate, and a changed password is proven by the next request using it.
# The version notice's Update starts tests/e2e's rundll32.exe beside TAV.exe,
# which logs the address instead of opening a browser.
# Needs a display and the caller's WINEPREFIX (run_wine_tests.sh sets both).
# The readers listen on TAV_E2E_PORT and the ports after it (default 35100).
# Usage: tests/e2e/change_confirm_flow.sh <win64-build-dir> <linux-build-dir> [shot-dir]
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
# shellcheck source=tests/e2e/e2e_rig.sh
source "$here/e2e_rig.sh"
# shellcheck source=tests/e2e/card_rig.sh
source "$here/card_rig.sh"
rig_start change-e2e "$1" "$2"
port="${TAV_E2E_PORT:-35100}"
mkdir -p "$work/keys" "$work/saved"
cp "$build_dir/host/app/TAV.exe" "$build_dir/tests/e2e/winscard.dll" "$build_dir/tests/e2e/rundll32.exe" "$work/"
export TAV_BROWSER_LOG
TAV_BROWSER_LOG="$(windows_path "$work/browser.log")"
start_snapper "${3:-$build_dir/e2e-screens}"

# The answer of a signing mode with one signature over a digest.
signing_json() {  # mode certificate digest uuid
  printf '%s' $'{\r\n  "mode":"'"$1"$'",\r\n  "result":"0",\r\n  "uuid":"'"$4"$'",\r\n  "signature":["'"$(sign "$2" "$3")"$'"],\r\n  "certificate":"'"$(base64 -w0 "$2")"$'"\r\n}'
}
received_signature() { tail -c +5 "$work/answer" | tr -d '\0' | sed -n 's/^  "signature":\["\(.*\)"\],\r$/\1/p'; }

failed=0
fail() {
  echo "FAILED $*" >&2
  failed=1
}
run_case() {
  local name="$1" status=0
  tav_frame "$2" >"$work/request"
  shift 2
  drive_tav "$work/request" "$work/answer" "$@" 2>"$work/driver.log" || status=$?
  if [ "$status" -ne 0 ]; then
    fail "$name: driver exit code $status"
    sed 's/^/  /' "$work/answer.log" >&2 || true
    return 1
  fi
}
expect() {
  tav_answer_frame "$2" >"$work/expected"
  if ! answer_uuid_ok; then
    fail "$1: uuid \"$(uuid)\" is not 32 hexadecimal digits"
    return 1
  fi
  if cmp -s "$work/answer" "$work/expected"; then
    echo "ok   $1"
    return 0
  fi
  fail "$1: answer differs"
  echo "  expected: $(tail -c +5 "$work/expected" | tr -d '\r\0' | tr '\n' ' ' | cut -c1-400)" >&2
  echo "  received: $(tail -c +5 "$work/answer" | tr -d '\r\0' | tr '\n' ' ' | cut -c1-400)" >&2
}
versions='"latest_version":"1","available_version":"1"'
digest="$(digest_info "a filing")"
login_digest="$(digest_info "log-in challenge")"
hex() { printf '%s' "$1" | xxd -p | tr -d '\n'; }

# ---------------------------------------------------------------- mode 06
start_daemon --card mynumber --name "番号　花子" --address "東京都千代田区" --birth-date 19850415 --sex 2
change06='{"mode":"06",'"$versions"'}'

# Every rule of the change screen, each in red on the same screen; nothing is
# tried on the card, so ending the run answers "9".
if run_case "06: the change screen's rules" "$change06" \
  screen=PasswordSelectScreen caption="Tavori パスワード選択" layout snap=password_select \
  radio=1048 click=1 screen=PasswordChangeScreen caption="Tavori パスワード変更" \
  type=1002:1a2b3c4 type=1004:4321 type=1005:432 enabled=1:0 type=1005:2 enabled=1:1 click=1 \
  text=1039:新しいパスワードと新しいパスワード（確認）は同じ color=1039:black layout snap=password_change_error \
  click=2 screen=PasswordSelectScreen radio=1047 click=1 screen=PasswordChangeScreen \
  type=1002:abcdef type=1004:xyz789 type=1005:xyz789 click=1 text=1039:現在のパスワードは6～16桁 \
  type=1002:abc123 type=1004:xyz-789 type=1005:xyz-789 click=1 text=1039:新しいパスワードは6～16桁 \
  layout snap=password_change_signature click=2 screen=PasswordSelectScreen radio=1049 click=1 screen=PasswordChangeScreen \
  tick=1044 layout snap=password_change_shown type=1002:1234 type=1004:5678 type=1005:5679 click=1 \
  text=1039:新しいパスワードと click=2 screen=PasswordSelectScreen click=2 alert=ok; then
  expect "06: the change screen's rules, then the end: result 9" "$(answer_json mode 06 result 9)"
fi

# Who asks, above the prompt of the change screen (not on the selection, which
# asks for no password), also once the red line opens.
if run_case "06 with its origin" '{"mode":"06",'"$versions"',"origin":"https://www.example.com"}' \
  screen=PasswordSelectScreen absent=1090 radio=1048 click=1 screen=PasswordChangeScreen text=1090:"要求元: www." \
  text=1091:example.com bold=1091 absent=1092 layout snap=password_change_origin \
  type=1002:1234 type=1004:4321 type=1005:4322 click=1 text=1039:新しいパスワードと layout \
  snap=password_change_origin_error click=2 screen=PasswordSelectScreen click=2 alert=ok; then
  expect "06 with its origin, then the end: result 9" "$(answer_json mode 06 result 9)"
fi

# A wrong current password: the card's refusal on the change screen again;
# ending then answers the failed change with its code.
if run_case "06: wrong current password" "$change06" screen=PasswordSelectScreen radio=1048 click=1 \
  screen=PasswordChangeScreen type=1002:9999 type=1004:4321 type=1005:4321 click=1 \
  text=1039:現在のパスワードが間違っています layout snap=password_change_wrong click=2 screen=PasswordSelectScreen \
  click=2 alert=ok; then
  code="$(answer_field errcode)"
  [[ "$code" =~ ^EW640-314 ]] || fail "06: wrong current password: code \"$code\""
  expect "06: wrong current password: result 1 ($code)" "$(answer_json mode 06 result 1 errcode "$code")"
fi

# The three passwords changed in one run, each result shown, then the end.
if run_case "06: change all three passwords" "$change06" \
  screen=PasswordSelectScreen radio=1048 click=1 screen=PasswordChangeScreen \
  type=1002:1234 type=1004:4321 type=1005:4321 click=1 screen=PasswordChangeResultScreen \
  text=-1:利用者証明用電子証明書 layout snap=password_change_result click=1 \
  screen=PasswordSelectScreen radio=1047 click=1 screen=PasswordChangeScreen \
  type=1002:abc123 type=1004:xyz789 type=1005:xyz789 click=1 screen=PasswordChangeResultScreen text=-1:署名用電子証明書 \
  click=1 screen=PasswordSelectScreen radio=1049 click=1 screen=PasswordChangeScreen \
  type=1002:1234 type=1004:5678 type=1005:5678 click=1 screen=PasswordChangeResultScreen text=-1:券面事項入力補助用 \
  click=57664 version=1 screen=PasswordChangeResultScreen click=1 screen=PasswordSelectScreen click=2 alert=ok; then
  expect "06: change all three passwords" "$(answer_json mode 06 result 0 uuid "$(uuid)")"
fi

# The new passwords work: a log-in, a signing, a personal data read.
auth_cert="$work/certs/reader0-auth.der"
sign_cert="$work/certs/reader0-sign.der"
if run_case "01 with the new password" '{"mode":"01",'"$versions"',"digest":"'"$login_digest"'"}' \
  screen=PasswordSetScreen type=1002:4321 click=1; then
  expect "01 with the new password" "$(answer_json mode 01 result 0 uuid "$(uuid)" \
    signature "$(sign "$auth_cert" "$login_digest")" certificate "$(base64 -w0 "$auth_cert")")"
  verify "$auth_cert" "$login_digest" "$(answer_field signature)" || fail "01 with the new password: signature"
fi
if run_case "02 with the new password" '{"mode":"02",'"$versions"',"digest":["'"$digest"'"]}' \
  screen=PasswordSetScreen type=1002:XYZ789 click=1; then
  expect "02 with the new password" "$(signing_json 02 "$sign_cert" "$digest" "$(uuid)")"
  verify "$sign_cert" "$digest" "$(received_signature)" || fail "02 with the new password: signature"
fi
if run_case "04 with the new password" '{"mode":"04",'"$versions"'}' screen=PasswordSetScreen type=1002:5678 click=1; then
  expect "04 with the new password" "$(answer_json mode 04 result 0 uuid "$(uuid)" name "$(hex "番号　花子")" \
    sex "$(hex 2)" address "$(hex "東京都千代田区")" birthday "$(hex 19850415)")"
fi

# ---------------------------------------------------------------- mode 07
start_daemon --card mynumber
sign_cert="$work/certs/reader0-sign.der"
local_date() {  # "notBefore" or "notAfter" of a certificate, as a date in Japan
  TZ=Asia/Tokyo date -d "$(openssl x509 -inform DER -in "$1" -noout -"$2" | cut -d= -f2)" +%Y年%m月%d日
}
validity="$(local_date "$sign_cert" startdate) から $(local_date "$sign_cert" enddate) まで"
sign_serial="$(openssl x509 -inform DER -in "$sign_cert" -noout -serial | cut -d= -f2 | tr 'A-F' 'a-f')"
request07='{"mode":"07",'"$versions"',"digest":["'"$digest"'"]}'
if run_case "07: confirm, then sign" "$request07" screen=PasswordSetScreen type=1002:abc123 click=1 \
  screen=CertificateConfirmScreen caption="Tavori 電子証明書確認" text=1069:"$validity" text=1066:"$sign_serial" \
  text=1067:"番号　花子" text=1068:"東京都千代田区霞が関２丁目１番２号" text=1:ＯＫ \
  absent=1090 layout snap=certificate_confirm click=1 gone=CertificateConfirmScreen; then
  expect "07: confirm, then sign" "$(signing_json 07 "$sign_cert" "$digest" "$(uuid)")"
  verify "$sign_cert" "$digest" "$(received_signature)" || fail "07: signature"
fi
# Who asks, on the password entry with the one signature it makes, and on the confirmation.
if run_case "07 with its origin" '{"mode":"07",'"$versions"',"origin":"https://shinsei.example.lg.jp","digest":["'"$digest"'"]}' \
  screen=PasswordSetScreen text=1090:"要求元: shinsei." text=1091:example.lg.jp bold=1091 \
  text=1092:1件の電子署名を行います layout snap=password_origin_confirm type=1002:abc123 click=1 \
  screen=CertificateConfirmScreen text=1090:"要求元: shinsei." text=1091:example.lg.jp bold=1091 absent=1092 \
  text=1066:"$sign_serial" layout snap=certificate_confirm_origin click=1 gone=CertificateConfirmScreen; then
  expect "07 with its origin" "$(signing_json 07 "$sign_cert" "$digest" "$(uuid)")"
fi
if run_case "07: Cancel on the confirmation" "$request07" screen=PasswordSetScreen type=1002:abc123 click=1 \
  screen=CertificateConfirmScreen click=2 alert=ok; then
  expect "07: Cancel on the confirmation: result 9" "$(answer_json mode 07 result 9)"
fi

# ---------------------------------------------------------------- mode 12
start_daemon --card gpki
user_cert="$work/certs/reader0-user.der"
ca_cert="$work/certs/reader0-second.der"
fingerprint="$(openssl x509 -inform DER -in "$ca_cert" -noout -fingerprint -sha256 | cut -d= -f2 | tr -d :)"
serial="$(openssl x509 -inform DER -in "$user_cert" -noout -serial | cut -d= -f2 | tr 'A-F' 'a-f')"
request12='{"mode":"12",'"$versions"',"digest":["'"$digest"'"]}'
# The file gets the longest name taken (256 characters), beside a file of the
# user's named like it with ".part", which stays as it was; nothing else is left.
saved_dir="$work/saved/$(printf 'd%.0s' $(seq 120))"
mkdir -p "$saved_dir"
saved_prefix="$(windows_path "$saved_dir")\\"
saved="$saved_dir/$(printf 'n%.0s' $(seq $((256 - ${#saved_prefix} - 4)))).cer"
echo "the user's own file" >"$saved.part"
if run_case "12: the CA certificate, its fingerprint, the file, then sign" "$request12" \
  screen=PasswordSetScreen type=1002:GPKI1234 click=1 screen=CertificateConfirmScreenGpkiAp \
  caption="Tavori GPKI電子証明書確認" text=1075:内容を確認の上 listkey=1076:home row=1076:0 text=1077:V3 \
  listkey=1076:down row=1076:1 text=1077:"$serial" layout snap=certificate_gpki click=1080 text=1075:認証局の自己証明書 \
  text=1078:"$fingerprint" text=1:戻る layout snap=certificate_gpki_ca click=1 text=1075:内容を確認の上 \
  click=1079 save="$(windows_path "$saved")" screen=CertificateConfirmScreenGpkiAp \
  click=1079 save=cancel screen=CertificateConfirmScreenGpkiAp click=1 gone=CertificateConfirmScreenGpkiAp; then
  expect "12: confirm, then sign" "$(signing_json 12 "$user_cert" "$digest" "$(uuid)")"
  verify "$user_cert" "$digest" "$(received_signature)" || fail "12: signature"
  if cmp -s "$saved" "$user_cert"; then echo "ok   12: the saved .cer (256 characters) is the card's certificate"; else
    fail "12: the saved file (${#saved_prefix} + $(($(basename "$saved" | wc -c) - 1)) characters) differs from the card's certificate"
  fi
  if [ "$(cat "$saved.part" 2>/dev/null)" = "the user's own file" ] && [ "$(find "$saved_dir" -type f | wc -l)" = 2 ]; then
    echo "ok   12: the user's \".part\" file stays, no other file is left"
  else
    fail "12: the folder holds: $(ls -A "$saved_dir" | cut -c1-20 | tr '\n' ' ')"
  fi
fi
if run_case "12 with its origin" '{"mode":"12",'"$versions"',"origin":"https://www.example.go.jp:8443","digest":["'"$digest"'"]}' \
  screen=PasswordSetScreen text=1093:1件の電子署名を行います type=1002:GPKI1234 click=1 \
  screen=CertificateConfirmScreenGpkiAp text=1090:"要求元: www." text=1091:example.go.jp bold=1091 text=1092::8443 \
  absent=1093 layout snap=certificate_gpki_origin click=1080 text=1075:認証局の自己証明書 layout \
  snap=certificate_gpki_ca_origin click=1 text=1075:内容を確認の上 click=1 gone=CertificateConfirmScreenGpkiAp; then
  expect "12 with its origin" "$(signing_json 12 "$user_cert" "$digest" "$(uuid)")"
fi
# A hostile GPKI certificate (make_hostile_gpki): the list and the detail pane
# show it whole, the marks and the bell replaced; the signing goes on.
make_hostile_gpki
start_daemon --card gpki --cert user="$work/hostile/user.pem" --key user="$work/hostile/user.key" \
  --cert second="$work/hostile/ca.pem"
user_cert="$work/certs/reader0-user.der"
if run_case "12: a hostile certificate shown bounded" "$request12" screen=PasswordSetScreen type=1002:GPKI1234 click=1 \
  screen=CertificateConfirmScreenGpkiAp listkey=1076:home row=1076:0 listkey=1076:down row=1076:1 listkey=1076:down \
  row=1076:2 listkey=1076:down row=1076:3 listkey=1076:down row=1076:4 listkey=1076:down row=1076:5 \
  listkey=1076:down row=1076:6 text=1077:"OU=Unit 00 �xxx" text=1077:"CN=Yamada �Taro� �Bell" \
  layout snap=certificate_gpki_hostile listkey=1076:end row=1076:14 defid=1079 row=1076:14 defid=1 click=1 \
  gone=CertificateConfirmScreenGpkiAp; then
  expect "12: a hostile certificate, then sign" "$(signing_json 12 "$user_cert" "$digest" "$(uuid)")"
  verify "$user_cert" "$digest" "$(received_signature)" || fail "12: hostile certificate: signature"
fi
start_daemon --card gpki
user_cert="$work/certs/reader0-user.der"

# ---------------------------------------------------------------- mode 13
if run_case "13: GPKI password change" '{"mode":"13",'"$versions"'}' screen=PasswordChangeScreen \
  caption="Tavori パスワード変更（GPKI電子署名付与）" type=1002:GPKI1234 type=1004:New-Pass1 type=1005:New-Pass1 \
  enabled=1:1 click=1 text=1039:新しいパスワードは6～16桁の大文字の英字、小文字の英字 layout snap=password_change_gpki \
  type=1002:GPKI1234 type=1004:NewPass99 type=1005:NewPass99 click=1 screen=PasswordChangeResultScreen \
  text=-1:利用者パスワード layout snap=password_change_gpki_result click=1; then
  expect "13: GPKI password change" "$(answer_json mode 13 result 0 uuid "$(uuid)")"
fi
if run_case "11 with the new GPKI password" '{"mode":"11",'"$versions"',"digest":["'"$digest"'"]}' \
  screen=PasswordSetScreen type=1002:NewPass99 click=1; then
  expect "11 with the new GPKI password" "$(signing_json 11 "$user_cert" "$digest" "$(uuid)")"
  verify "$user_cert" "$digest" "$(received_signature)" || fail "11 with the new GPKI password: signature"
fi

# ---------------------------------------------------------------- version notices
start_daemon --card mynumber
auth_cert="$work/certs/reader0-auth.der"
newer='{"mode":"01","latest_version":"9","available_version":"1","service_id":"01","digest":"'"$login_digest"'"}'
if run_case "a newer version: Skip goes on to the log-in" "$newer" screen=VersionInfoScreen \
  caption="Tavori バージョンアップ通知" text=-1:新しいバージョンが存在します text=1:スキップ text=2:更新 enabled=1:1 \
  layout snap=version_notice click=57664 version=1 screen=VersionInfoScreen click=1 \
  screen=PasswordSetScreen type=1002:1234 click=1; then
  expect "a newer version: Skip goes on to the log-in" "$(answer_json mode 01 result 0 uuid "$(uuid)" \
    signature "$(sign "$auth_cert" "$login_digest")" certificate "$(base64 -w0 "$auth_cert")")"
fi
# The download page's site is a build setting.
download_site="$(sed -n 's/^TAV_DOWNLOAD_SITE:STRING=//p' "$build_dir/CMakeCache.txt")"
rm -f "$work/browser.log"
if run_case "a newer version: Update opens the download page" "$newer" screen=VersionInfoScreen click=2; then
  expect "a newer version: Update ends the request" "$(answer_json mode 01 result 9)"
  for _ in $(seq 50); do [ -s "$work/browser.log" ] && break; sleep 0.1; done
  if grep -qF 'url.dll,FileProtocolHandler "'"$download_site"'/SCK0101_03_001/SCK0101_03_001_Init.form#versionup"' \
    "$work/browser.log" 2>/dev/null; then
    echo "ok   a newer version: the browser is asked for the download page"
  else
    fail "a newer version: the browser was not started on the download page ($(cat "$work/browser.log" 2>/dev/null))"
  fi
fi
if run_case "an unusable version: only Update" \
  '{"mode":"01","latest_version":"9","available_version":"9","digest":"'"$login_digest"'"}' \
  screen=VersionInfoScreen text=-1:利用できないバージョン enabled=1:0 layout snap=version_notice_must_update click=2; then
  expect "an unusable version: only Update" "$(answer_json mode 01 result 9)"
fi

stop_daemon
exit "$failed"
