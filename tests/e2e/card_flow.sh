#!/usr/bin/env bash
# TAV.exe under wine64 with a card: the virtual cards of cardsim-daemon
# --listen behind tests/e2e/winscard.dll (TAV_TEST_READERS). Each case starts a
# daemon with its cards, runs TAV through ui_driver.exe as a user would, compares
# the answer byte for byte with the one built from the card's certificate and
# key, and verifies every signature with the certificate's public key.
# Needs a display and the caller's WINEPREFIX (run_wine_tests.sh sets both).
# The readers listen on TAV_E2E_PORT and the ports after it (default 35000).
# Usage: tests/e2e/card_flow.sh <win64-build-dir> <linux-build-dir> [shot-dir]
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
# shellcheck source=tests/e2e/e2e_rig.sh
source "$here/e2e_rig.sh"
# shellcheck source=tests/e2e/card_rig.sh
source "$here/card_rig.sh"
rig_start card-e2e "$1" "$2"
port="${TAV_E2E_PORT:-35000}"
mkdir -p "$work/keys"
cp "$build_dir/host/app/TAV.exe" "$build_dir/tests/e2e/winscard.dll" "$work/"
# The driver's snap=<name> steps: "insert" puts the card taken out back into
# reader 0; any other name is a screenshot.
card_snap() {
  if [ "$1" = insert ]; then
    # A second writer: the daemon reads on while descriptor 7 stays open.
    echo "insert 0" >"$work/fifo" || true
    # The reader takes the card in on its next look (every 50 ms).
    sleep 0.3
  else
    screenshot "$shots/card_$1.png"
  fi
}
start_snapper "${3:-$build_dir/e2e-screens}" card_snap

failed=0
# run_case <name> <request-json> <driver step>...: leaves the answer in $work/answer.
run_case() {
  local name="$1" status=0
  tav_frame "$2" >"$work/request"
  shift 2
  drive_tav "$work/request" "$work/answer" "$@" 2>"$work/driver.log" || status=$?
  if [ "$status" -ne 0 ]; then
    echo "FAILED $name: driver exit code $status" >&2
    sed 's/^/  /' "$work/answer.log" >&2 || true
    failed=1
    return 1
  fi
}

# expect <name> <expected-json>: byte for byte.
expect() {
  tav_answer_frame "$2" >"$work/expected"
  if ! answer_uuid_ok; then
    echo "FAILED $1: uuid \"$(uuid)\" is not 32 hexadecimal digits" >&2
    failed=1
    return 1
  fi
  if cmp -s "$work/answer" "$work/expected"; then
    echo "ok   $1"
    return 0
  fi
  echo "FAILED $1: answer differs" >&2
  echo "  expected: $(tail -c +5 "$work/expected" | tr -d '\r\0' | tr '\n' ' ' | cut -c1-400)" >&2
  echo "  received: $(tail -c +5 "$work/answer" | tr -d '\r\0' | tr '\n' ' ' | cut -c1-400)" >&2
  failed=1
}

versions='"latest_version":"1","available_version":"1"'

# --- log-in (mode 01): one signature with the authentication key
login_digest="$(digest_info "log-in challenge")"
start_daemon --card mynumber
cert="$work/certs/reader0-auth.der"
if run_case "log-in" '{"mode":"01",'"$versions"',"service_id":"01","digest":"'"$login_digest"'"}' \
  screen=PasswordSetScreen type=1002:1234 click=1; then
  expect "log-in" "$(answer_json mode 01 result 0 uuid "$(uuid)" signature "$(sign "$cert" "$login_digest")" \
    certificate "$(base64 -w0 "$cert")")"
  verify "$cert" "$login_digest" "$(answer_field signature)" || { echo "FAILED log-in: signature" >&2; failed=1; }
fi

login='{"mode":"01",'"$versions"',"service_id":"01","digest":"'"$login_digest"'"}'
login_answer() {
  answer_json mode 01 result 0 uuid "$(uuid)" signature "$(sign "$cert" "$login_digest")" \
    certificate "$(base64 -w0 "$cert")"
}

# Typing: a letter is dropped, OK waits for the fourth digit, a fifth cannot be typed.
if run_case "log-in, typing rules" "$login" screen=PasswordSetScreen absent=1090 snap=password_screen layout type=1002:1a2 enabled=1:0 \
  type=1002:345 enabled=1:1 tick=1044 snap=password_shown layout click=1; then
  expect "log-in, typing rules" "$(login_answer)"
fi

# English log-in: the English template and texts; the version information
# and the end confirmation it opens stay wholly Japanese.
if run_case "log-in in English" '{"mode":"01",'"$versions"',"language":"en","digest":"'"$login_digest"'"}' \
  screen=PasswordSetScreen text=1019:"Enter your JPKI password" text=1:OK snap=password_english layout="Segoe UI" \
  click=57664 version=1 close alert=cancel screen=PasswordSetScreen text=2:Cancel type=1002:1234 click=1; then
  expect "log-in in English" "$(login_answer)"
fi

# A wrong password: the card's refusal in red on a new password screen; then the right one.
if run_case "wrong password, then the right one" "$login" screen=PasswordSetScreen type=1002:9999 click=1 \
  screen=PasswordSetScreen text=1039:EW1 snap=password_wrong layout type=1002:1234 click=1; then
  expect "wrong password, then the right one" "$(login_answer)"
fi

# Cancel on the password screen, then OK on the end confirmation: not carried out.
if run_case "Cancel, end alert: result 9" "$login" screen=PasswordSetScreen click=2 alert=ok; then
  expect "Cancel, end alert: result 9" "$(answer_json mode 01 result 9)"
fi

# No card: the card request; the card is put in and OK goes on.
echo "remove 0" >&7
if run_case "no card, card request, insert, OK" "$login" screen=CardRequestScreen layout snap=insert click=1 \
  screen=PasswordSetScreen type=1002:1234 click=1; then
  expect "no card, card request, insert, OK" "$(login_answer)"
fi

# --- signing (mode 02): three digests with the signature key; the processing
# screen counts them.
# Each card command takes 100 ms, so that the counter ("n/3") can be seen.
start_daemon --card mynumber --delay-ms 100
sign_cert="$work/certs/reader0-sign.der"
digests=("$(digest_info first)" "$(digest_info second)" "$(digest_info third)")
if run_case "signing three digests" '{"mode":"02",'"$versions"',"service_id":"02","digest":["'"${digests[0]}"'","'"${digests[1]}"'","'"${digests[2]}"'"]}' \
  screen=PasswordSetScreen type=1002:abc123 click=1 screen=ProcessingScreen text=-1:/3 snap=processing_signing \
  gone=ProcessingScreen; then
  signatures=()
  for digest in "${digests[@]}"; do signatures+=("$(sign "$sign_cert" "$digest")"); done
  tav_answer_frame $'{\r\n  "mode":"02",\r\n  "result":"0",\r\n  "uuid":"'"$(uuid)"$'",\r\n  "signature":["'"${signatures[0]}"'","'"${signatures[1]}"'","'"${signatures[2]}"$'"],\r\n  "certificate":"'"$(base64 -w0 "$sign_cert")"$'"\r\n}' \
    >"$work/expected"
  if cmp -s "$work/answer" "$work/expected"; then echo "ok   signing three digests"; else
    echo "FAILED signing three digests: answer differs" >&2
    failed=1
  fi
  received="$(tail -c +5 "$work/answer" | tr -d '\0' | sed -n 's/^  "signature":\[\(.*\)\],\r$/\1/p' | tr -d '"' | tr ',' ' ')"
  read -r -a received_signatures <<<"$received"
  for i in 0 1 2; do
    verify "$sign_cert" "${digests[$i]}" "${received_signatures[$i]:-}" ||
      { echo "FAILED signing three digests: signature $((i + 1))" >&2; failed=1; }
  done
fi

# --- personal data (mode 03) as the card holds it, in hexadecimal UTF-8.
hex() { printf '%s' "$1" | xxd -p | tr -d '\n'; }
start_daemon --card mynumber --individual-number 123456789018 --name "番号　花子" --address "東京都千代田区霞が関２丁目１番２号" \
  --birth-date 19850415 --sex 2
if run_case "personal data (03)" '{"mode":"03",'"$versions"'}' screen=PasswordSetScreen type=1002:1234 click=1; then
  expect "personal data (03)" "$(answer_json mode 03 result 0 uuid "$(uuid)" mynumber "$(hex 123456789018)" \
    name "$(hex "番号　花子")" sex "$(hex 2)" address "$(hex "東京都千代田区霞が関２丁目１番２号")" birthday "$(hex 19850415)")"
fi

# --- a locked log-in password: the error screen, then the error answer.
start_daemon --card mynumber --auth-pin-tries 0
if run_case "locked password" "$login" screen=PasswordSetScreen type=1002:1234 click=1 screen=ErrorScreen \
  text=1039:EW140-1600 snap=error_locked layout click=1; then
  expect "locked password" "$(answer_json mode 01 result 1 errcode EW140-1600)"
fi

# --- the card leaves while it signs: the card request asks for it again; the
# user gives up: not carried out.
start_daemon --card mynumber --remove-on "80 2A"
if run_case "card removed during signing" '{"mode":"02",'"$versions"',"digest":["'"${digests[0]}"'"]}' \
  screen=PasswordSetScreen type=1002:abc123 click=1 screen=CardRequestScreen snap=card_removed \
  click=2 alert=ok; then
  expect "card removed during signing" "$(answer_json mode 02 result 9)"
fi

# --- two readers: a My Number card with a city code, and a GPKI card.
start_daemon --card mynumber --city-code 13101 --card gpki
cert="$work/certs/reader0-auth.der"
# Log-in with the city code and the combination code. The combination code is a
# SHA-256 over a salt, the card's manufacture number and the uuid: checked for
# its form here, its computation by the unit tests.
if run_case "log-in with city and combination codes" \
  '{"mode":"01",'"$versions"',"digest":"'"$login_digest"'","city_code_flag":"true","combination_code_flag":"true"}' \
  screen=PasswordSetScreen type=1002:1234 click=1; then
  combination="$(answer_field combination_code)"
  if [[ ! "$combination" =~ ^[0-9a-f]{64}$ ]]; then
    echo "FAILED log-in with codes: combination code \"$combination\"" >&2
    failed=1
  fi
  expect "log-in with city and combination codes" "$(answer_json mode 01 result 0 uuid "$(uuid)" \
    signature "$(sign "$cert" "$login_digest")" certificate "$(base64 -w0 "$cert")" combination_code "$combination" \
    city_code "$(hex 13101)")"
fi

# GPKI signing (mode 11): the card is found in the second reader; its password keeps its case.
gpki_cert="$work/certs/reader1-user.der"
if run_case "GPKI signing (11)" '{"mode":"11",'"$versions"',"digest":["'"${digests[0]}"'"]}' \
  screen=PasswordSetScreen text=1019:利用者パスワード type=1002:GPKI1234 click=1; then
  tav_answer_frame $'{\r\n  "mode":"11",\r\n  "result":"0",\r\n  "uuid":"'"$(uuid)"$'",\r\n  "signature":["'"$(sign "$gpki_cert" "${digests[0]}")"$'"],\r\n  "certificate":"'"$(base64 -w0 "$gpki_cert")"$'"\r\n}' \
    >"$work/expected"
  if cmp -s "$work/answer" "$work/expected"; then echo "ok   GPKI signing (11)"; else
    echo "FAILED GPKI signing (11): answer differs" >&2
    failed=1
  fi
  received="$(tail -c +5 "$work/answer" | tr -d '\0' | sed -n 's/^  "signature":\["\(.*\)"\],\r$/\1/p')"
  verify "$gpki_cert" "${digests[0]}" "$received" || { echo "FAILED GPKI signing (11): signature" >&2; failed=1; }
fi

# --- the page goes away while the password is asked for: the wrapper's "05"
# frame ends the request on the error screen, without an answer.
tav_frame '{"mode":"05"}' >"$work/cancel_frame"
if run_case "\"05\" frame during the password screen" "$login" screen=PasswordSetScreen \
  write="$(windows_path "$work/cancel_frame")" screen=ErrorScreen text=1039:表示中のページから移動された snap=error_page_gone click=1; then
  if [ -s "$work/answer" ]; then
    echo "FAILED \"05\" frame: an answer was written" >&2
    failed=1
  else
    echo "ok   \"05\" frame during the password screen: no answer"
  fi
fi

# --- bad input on the password screen: typed and pasted text keeps to the
# mode's characters and limit (no banner without a service ID).
long_digits="$(printf '1234%.0s' $(seq 2500))"
if run_case "10,000 characters typed: the field keeps 4" '{"mode":"01",'"$versions"',"digest":"'"$login_digest"'"}' \
  screen=PasswordSetScreen snap=password_no_banner layout type=1002:"ab${long_digits:0:9998}" click=1; then
  expect "10,000 characters typed: the field keeps 4" "$(login_answer)"
fi
if run_case "10,000 characters pasted: the field keeps 4" "$login" screen=PasswordSetScreen \
  set=1002:"x${long_digits:0:9999}" click=1; then
  expect "10,000 characters pasted: the field keeps 4" "$(login_answer)"
fi
# A service ID of odd length is refused with its code on the error screen.
if run_case "service ID of odd length" '{"mode":"01",'"$versions"',"service_id":"123","digest":"'"$login_digest"'"}' \
  screen=ErrorScreen snap=error_service_id layout click=1; then
  code="$(answer_field errcode)"
  expect "service ID of odd length ($code)" "$(answer_json mode 01 result 1 errcode "$code")"
fi

# --- personal data without the individual number (mode 04): the card's defaults.
if run_case "personal data (04)" '{"mode":"04",'"$versions"'}' screen=PasswordSetScreen type=1002:1234 click=1; then
  expect "personal data (04)" "$(answer_json mode 04 result 0 uuid "$(uuid)" name "$(hex "番号　花子")" sex "$(hex 2)" \
    address "$(hex "東京都千代田区霞が関２丁目１番２号")" birthday "$(hex 19850415)")"
fi

# --- who asks: the request's origin on a line under the banner, its
# registrable part in bold, and in the signing modes the number of signatures
# the password makes. The cases above carry no origin and show neither line.
start_daemon --card mynumber
cert="$work/certs/reader0-auth.der"
sign_cert="$work/certs/reader0-sign.der"
if run_case "signing with its origin" '{"mode":"02",'"$versions"',"service_id":"02","origin":"https://www.e-tax.nta.go.jp","digest":["'"${digests[0]}"'","'"${digests[1]}"'","'"${digests[2]}"'"]}' \
  screen=PasswordSetScreen text=1090:"要求元: www.e-tax." text=1091:nta.go.jp bold=1091 \
  text=1092:3件の電子署名を行います absent=1093 layout snap=password_origin_signing \
  type=1002:abc123 click=1; then
  tav_answer_frame $'{\r\n  "mode":"02",\r\n  "result":"0",\r\n  "uuid":"'"$(uuid)"$'",\r\n  "signature":["'"$(sign "$sign_cert" "${digests[0]}")"'","'"$(sign "$sign_cert" "${digests[1]}")"'","'"$(sign "$sign_cert" "${digests[2]}")"$'"],\r\n  "certificate":"'"$(base64 -w0 "$sign_cert")"$'"\r\n}' \
    >"$work/expected"
  if cmp -s "$work/answer" "$work/expected"; then echo "ok   signing with its origin"; else
    echo "FAILED signing with its origin: answer differs" >&2
    failed=1
  fi
fi
# The longest origin, without a banner: the host breaks after its dots and
# nothing is cut; a wrong password opens the red line beside it.
if run_case "log-in with the longest origin" '{"mode":"01",'"$versions"',"origin":"'"$(longest_origin)"'","digest":"'"$login_digest"'"}' \
  screen=PasswordSetScreen text=1090:"要求元: " layout \
  snap=password_origin_longest type=1002:9999 click=1 screen=PasswordSetScreen text=1039:EW1 layout \
  snap=password_origin_wrong type=1002:1234 click=1; then
  expect "log-in with the longest origin" "$(login_answer)"
fi
if run_case "log-in in English with its origin" '{"mode":"01",'"$versions"',"language":"en","origin":"http://localhost:3000","digest":"'"$login_digest"'"}' \
  screen=PasswordSetScreen text=1090:"Requested by: " text=1091:localhost bold=1091 text=1092::3000 absent=1093 \
  layout="Segoe UI" snap=password_origin_english type=1002:1234 click=1; then
  expect "log-in in English with its origin" "$(login_answer)"
fi
# Anything but one plain origin is refused before a screen shows it.
for origin in '"https://a.b@evil.example"' '"https://\u202Emoc.elpmaxe"' '"http://example.com"' \
  '"https://example.com/"' '"https://exa\u0000mple.com"' '["https://a.example","https://b.example"]'; do
  if run_case "origin $origin refused" '{"mode":"01",'"$versions"',"service_id":"02","origin":'"$origin"',"digest":"'"$login_digest"'"}' \
    screen=ErrorScreen text=1039:EW042-1206 absent=1090 click=1; then
    expect "origin $origin refused" "$(answer_json mode 01 result 1 errcode EW042-1206)"
  fi
done

# --- a scale far from 1.0: the prefix at 192 DPI (scale 2.0) for one log-in.
"$WINE" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 192 /f >/dev/null 2>&1
if run_case "log-in at 192 DPI" "$login" screen=PasswordSetScreen snap=password_192dpi layout type=1002:1234 click=1; then
  expect "log-in at 192 DPI" "$(login_answer)"
fi
if run_case "log-in at 192 DPI with its origin" '{"mode":"01",'"$versions"',"service_id":"01","origin":"https://login.example.co.jp:8443","digest":"'"$login_digest"'"}' \
  screen=PasswordSetScreen text=1090:"要求元: login." text=1091:example.co.jp bold=1091 text=1092::8443 layout \
  snap=password_origin_192dpi type=1002:1234 click=1; then
  expect "log-in at 192 DPI with its origin" "$(login_answer)"
fi
"$WINE" reg delete 'HKCU\Control Panel\Desktop' /v LogPixels /f >/dev/null 2>&1

# --- digests a card key must not sign: 51 bytes of a page's text instead of a
# SHA-256 DigestInfo are refused at intake, before the card is asked anything.
text_digest="$(printf 'NOT-A-DIGESTINFO: pay 100,000 yen to account 123456' | base64 -w0)"
for refused in "01 EW142-1200" "11 EWC42-1200"; do
  read -r mode code <<<"$refused"
  if run_case "text as digest ($mode)" '{"mode":"'"$mode"'",'"$versions"',"digest":["'"$text_digest"'"]}' \
    screen=ErrorScreen text=1039:"$code" click=1; then
    expect "text as digest ($mode)" "$(answer_json mode "$mode" result 1 errcode "$code")"
  fi
done

# --- a slow card (300 ms a command) and 200 digests. A log-in signs the first
# only, with the same answer as for one digest; ending a signing run while it
# signs answers at once, without waiting for the digests left.
start_daemon --card mynumber --delay-ms 300
cert="$work/certs/reader0-auth.der"
many=""
for _ in $(seq 200); do many+=',"'"$(digest_info "another challenge")"'"'; done
# ms_to_end <driver output>: from the "ok" mark to TAV's end.
ms_to_end() {
  local ok ended
  ok="$(sed -n 's/^ok //p' "$1" | tr -d '\r')"
  ended="$(sed -n 's/^end //p' "$1" | tr -d '\r')"
  echo $((ended - ok))
}
# (200 digests would take the card 60 s.)
if run_case "log-in with 200 digests, slow card" '{"mode":"01",'"$versions"',"digest":["'"$login_digest"'"'"$many"']}' \
  screen=PasswordSetScreen type=1002:1234 mark=ok click=1 >"$work/times"; then
  expect "log-in with 200 digests, slow card" "$(login_answer)"
  took="$(ms_to_end "$work/times")"
  echo "time log-in with 200 digests on a slow card: OK -> answer $took ms"
  if [ "$took" -ge 10000 ]; then echo "FAILED log-in with 200 digests: too slow" >&2; failed=1; fi
fi
sign_many='{"mode":"02",'"$versions"',"digest":["'"${digests[0]}"'"'"$many"']}'
if run_case "ending 200 digests on a slow card" "$sign_many" screen=PasswordSetScreen type=1002:abc123 click=1 \
  screen=ProcessingScreen text=-1:1/201 close mark=ok alert=ok >"$work/times"; then
  expect "ending 200 digests on a slow card" "$(answer_json mode 02 result 9)"
  took="$(ms_to_end "$work/times")"
  echo "time ending 200 digests on a slow card: end confirmed -> TAV ended $took ms"
  if [ "$took" -ge 5000 ]; then echo "FAILED ending 200 digests: too slow" >&2; failed=1; fi
fi

# --- timings of a log-in, three runs: request written -> password screen
# shown, and OK -> answer (TAV ended), less the worker's fixed 100 ms after
# signing. The driver looks every 50 ms, so each figure may be up to 50 ms late.
start_daemon --card mynumber
cert="$work/certs/reader0-auth.der"
for run in 1 2 3; do
  if run_case "timed log-in $run" "$login" screen=PasswordSetScreen mark=shown type=1002:1234 mark=ok click=1 \
    >"$work/times"; then
    shown="$(sed -n 's/^shown //p' "$work/times" | tr -d '\r')"
    ok="$(sed -n 's/^ok //p' "$work/times" | tr -d '\r')"
    ended="$(sed -n 's/^end //p' "$work/times" | tr -d '\r')"
    echo "time log-in $run: request -> password screen ${shown} ms; OK -> answer $((ended - ok - 100)) ms"
  fi
done

stop_daemon
exit "$failed"
