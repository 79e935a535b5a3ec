#!/usr/bin/env bash
# TAV_Wrapper.exe under wine64 as the browser sees it: request frames into the
# wrapper, answers out byte for byte. First with a stand-in for TAV.exe that
# checks and times the relay alone, then with TAV.exe itself (no reader).
# The wrapper's three dialogs get the layout check and a screenshot each.
# Needs a display (run_wine_tests.sh starts Xvfb) and the caller's WINEPREFIX.
# Usage: tests/e2e/wrapper_flow.sh <build-dir> [screenshot-dir]   (default: <build-dir>/e2e-screens)
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
# shellcheck source=tests/e2e/e2e_rig.sh
source "$here/e2e_rig.sh"
rig_start wrapper "$1"
start_snapper "${2:-$build_dir/e2e-screens}"
driver="$build_dir/tests/e2e/wrapper_driver.exe"

# Three installations: the real pair, the wrapper beside the stand-in, the wrapper alone.
mkdir -p "$work/real" "$work/probe" "$work/alone"
cp "$build_dir/wrapper/win32/TAV_Wrapper.exe" "$work/alone/"
cp "$build_dir/wrapper/win32/TAV_Wrapper.exe" "$build_dir/host/app/TAV.exe" "$build_dir/tests/e2e/winscard.dll" \
  "$work/real/"
cp "$build_dir/wrapper/win32/TAV_Wrapper.exe" "$work/probe/"
cp "$build_dir/tests/e2e/relay_probe.exe" "$work/probe/TAV.exe"

failed=0
# check <name> <install> <expected-answer-file> <driver step>...
check() {
  local name="$1" install="$2" expected="$3" status=0
  shift 3
  timeout 120 "$WINE" "$driver" "$(windows_path "$work/$install/TAV_Wrapper.exe")" "$(windows_path "$work/answer")" \
    "$@" >"$work/driver.out" 2>"$work/driver.log" || status=$?
  if [ "$status" -ne 0 ]; then
    echo "FAILED $name: driver exit code $status" >&2
    grep -v -e 'wine32' -e 'multiarch' -e 'dpkg --add' "$work/driver.log" | sed 's/^/  /' >&2 || true
    failed=1
  elif ! cmp -s "$work/answer" "$expected"; then
    echo "FAILED $name: answer differs" >&2
    echo "  expected: $(head -c 300 "$expected" | od -An -c | tr -s ' ' | tr -d '\n')" >&2
    echo "  received: $(head -c 300 "$work/answer" | od -An -c | tr -s ' ' | tr -d '\n')" >&2
    failed=1
  else
    echo "ok   $name"
  fi
}
w() { windows_path "$work/$1"; }

# The stand-in answers with the length and FNV-1a hash of what reached it.
fnv() { python3 -c 'import sys
h=2166136261
for b in open(sys.argv[1],"rb").read()[4:]: h=((h^b)*16777619)&0xffffffff
print("%08x"%h)' "$1"; }
probe_answer() {  # <request-frame-file> [answer-size]
  local length json
  length=$(($(stat -c %s "$1") - 4))
  json="{\"mode\":\"02\",\"result\":\"0\",\"received\":\"$length:$(fnv "$1")\""
  if [ -n "${2:-}" ]; then json="$json$(printf '%*s' $(($2 - ${#json} - 1)) '')"; fi
  tav_frame "$json}"
}
# A request of the given body size, padded inside a value, asking for an answer of the given size.
sized_request() {  # <body-size> <answer-size>
  local head="{\"mode\":\"02\",\"pad\":\"$2\",\"digest\":\"" tail='"}'
  tav_frame "$head$(head -c $(($1 - ${#head} - ${#tail})) /dev/zero | tr '\0' 'A')$tail"
}

# Relay alone: the request reaches the child whole, the answer comes back
# without TAV's trailing zero byte.
sized_request 1024 0 >"$work/req_1k"
probe_answer "$work/req_1k" >"$work/req_1k.expected"
check "1 KiB request relayed whole, answer relayed" probe "$work/req_1k.expected" send="$(w req_1k)" exit=1 gone
sized_request 1048576 0 >"$work/req_1m"
probe_answer "$work/req_1m" >"$work/req_1m.expected"
check "1 MiB request relayed whole" probe "$work/req_1m.expected" send="$(w req_1m)" exit=1 gone
sized_request 1024 1048576 >"$work/req_big_answer"
probe_answer "$work/req_big_answer" 1048576 >"$work/req_big_answer.expected"
check "1 MiB answer relayed whole" probe "$work/req_big_answer.expected" send="$(w req_big_answer)" exit=1 gone
sized_request 1024 1048577 >"$work/req_too_big_answer"
tav_frame '{"mode":"02","result":"1","errcode":"EW054-0002"}' >"$work/too_big_answer.expected"
check "answer above 1 MiB: an error answer instead" probe "$work/too_big_answer.expected" \
  send="$(w req_too_big_answer)" exit=1 gone
# Above the limit: refused from the prefix alone, no body sent at all.
tav_frame '' 1048577 >"$work/req_over"
tav_frame '{"mode":"01","result":"1","errcode":"EW042-1200"}' >"$work/over.expected"
check "length prefix above 1 MiB: refused at once" probe "$work/over.expected" send="$(w req_over)" exit=0 gone

# A file-based authority: the wrapper's file dialog takes the file and the
# password; the child gets them as JSON strings (escaped) and no "ca".
tav_frame '{"mode":"02","latest_version":"1","available_version":"1","ca":"013","digest":"AAE="}' >"$work/req_file"
tav_frame '{"mode":"02","latest_version":"1","available_version":"1","digest":"AAE=","file_path":"C:\\certs\\a.p12","file_password":"p\"w\\"}' \
  >"$work/req_file.edited"
probe_answer "$work/req_file.edited" >"$work/req_file.expected"
# shellcheck disable=SC1003 # the password ends with a backslash
check "file dialog: file and password reach the child escaped, without ca" probe "$work/req_file.expected" \
  send="$(w req_file)" 'type=1002:C:\certs\a.p12' layout=file snap=wrapper_file_dialog 'type=1003:p"w\' press=1007 \
  exit=1 gone
tav_frame '{"mode":"02","result":"9"}' >"$work/file_cancel.expected"
check "file dialog cancelled and the end confirmed: result 9" probe "$work/file_cancel.expected" \
  send="$(w req_file)" press=1009 layout=box snap=wrapper_end_confirmation confirm=ok exit=1 gone
: >"$work/none.expected"
check "TAV.exe missing: the wrapper's error box, no answer" alone "$work/none.expected" \
  send="$(w req_1k)" layout=box snap=wrapper_error_box box=EW054-0001 eof exit=1 gone

# A page may not name the credential: refused by the wrapper, the child never
# started, in any mode and beside a file-based authority too.
started="$work/probe/relay_probe.started"
never_started() {  # <name> <request-json> <expected-json>
  tav_frame "$2" >"$work/req_credential"
  tav_frame "$3" >"$work/credential.expected"
  rm -f "$started"
  check "$1" probe "$work/credential.expected" send="$(w req_credential)" exit=0 gone
  if [ -e "$started" ]; then
    echo "FAILED $1: the child was started" >&2
    failed=1
  fi
}
never_started "credential of the page: refused, no child" \
  '{"mode":"02","latest_version":"1","available_version":"1","digest":"AAE=","file_path":"\\\\host\\share\\a.p12","file_password":"x"}' \
  '{"mode":"02","result":"1","errcode":"EW042-1201"}'
never_started "password alone of the page, file-based authority: refused, no child" \
  '{"mode":"07","latest_version":"1","available_version":"1","ca":"013","digest":"AAE=","file_password":"x"}' \
  '{"mode":"07","result":"1","errcode":"EW042-1201"}'
# The dialog adds path and password: a request that then exceeds what TAV
# takes is answered at once instead of being refused on every attempt.
head='{"mode":"02","latest_version":"1","available_version":"1","ca":"013","digest":"'
tav_frame "$head$(head -c $((1048576 - ${#head} - 2)) /dev/zero | tr '\0' 'A')\"}" >"$work/req_file_full"
tav_frame '{"mode":"02","result":"1","errcode":"EW042-1200"}' >"$work/file_full.expected"
rm -f "$started"
check "file dialog: edited request too large for TAV, answered at once" probe "$work/file_full.expected" \
  send="$(w req_file_full)" 'type=1002:C:\certs\a.p12' type=1003:pw press=1007 exit=1 gone
if [ -e "$started" ]; then
  echo "FAILED edited request too large: the child was started" >&2
  failed=1
fi

# A file-mode child whose answer is neither relayed nor retried (result 2)
# lingers: it is gone before the next attempt starts another one.
tav_frame '{"mode":"02","latest_version":"1","available_version":"1","digest":"AAE=","file_path":"C:\\certs\\a.p12","file_password":"pw"}' \
  >"$work/req_file_retry.edited"
probe_answer "$work/req_file_retry.edited" >"$work/req_file_retry.expected"
check "file dialog: an unexpected result, then one child at a time" probe "$work/req_file_retry.expected" \
  send="$(w req_file)" 'type=1002:C:\certs\a.p12' type=1003:result-2 press=1007 pause=1500 type=1003:pw \
  press=1007 exit=1 gone

# TAV's answer while the wrapper's end confirmation is open: that answer alone.
TAV_PROBE=late check "answer while the end confirmation is open: exactly one answer" probe \
  "$work/req_1k.expected" send="$(w req_1k)" wclose pause=3000 confirm=ok exit=1 gone
# Text on the child's standard error never reaches the answer.
TAV_PROBE=stderr check "child writes to its standard error: answer intact" probe "$work/req_1k.expected" \
  send="$(w req_1k)" exit=1 gone
# A child that never reads its request (one the pipe holds, one larger than
# it): the browser leaving ends both at once.
for request in req_1k req_1m; do
  TAV_PROBE=silent check "child never reads $request, browser leaves: both end within 2.5 s" probe \
    "$work/none.expected" send="$(w "$request")" pause=500 eof within=2500 gone=500
done

# Who asks, on the file dialog above its guide: the origin, its registrable
# part in bold; the request reaches the child with it. A malformed origin gets
# no dialog: TAV refuses the request with its format code.
tav_frame '{"mode":"02","latest_version":"1","available_version":"1","origin":"https://www.e-tax.nta.go.jp","ca":"013","digest":"AAE="}' \
  >"$work/req_file_origin"
tav_frame '{"mode":"02","latest_version":"1","available_version":"1","origin":"https://www.e-tax.nta.go.jp","digest":"AAE=","file_path":"C:\\certs\\a.p12","file_password":"pw"}' \
  >"$work/req_file_origin.edited"
probe_answer "$work/req_file_origin.edited" >"$work/req_file_origin.expected"
check "file dialog: the origin shown above the guide" probe "$work/req_file_origin.expected" \
  send="$(w req_file_origin)" shows=1010:"要求元: www.e-tax." shows=1011:nta.go.jp bold=1011 layout=file \
  shows=1006:ファイル名を選択 snap=wrapper_file_dialog_origin 'type=1002:C:\certs\a.p12' type=1003:pw press=1007 exit=1 gone
tav_frame '{"mode":"02","latest_version":"1","available_version":"1","origin":"https://a.b@evil.example","ca":"013","digest":"AAE="}' \
  >"$work/req_bad_origin"
tav_answer_frame $'{\r\n  "mode":"02",\r\n  "result":"1",\r\n  "errcode":"EW042-1206"\r\n}' >"$work/bad_origin.tav"
head -c -1 "$work/bad_origin.tav" >"$work/bad_origin.expected"
check "file run with a malformed origin: no dialog, TAV's refusal relayed" real "$work/bad_origin.expected" \
  send="$(w req_bad_origin)" screen=ErrorScreen click=1 exit=1 gone

# Relay timings: from the first byte sent to the wrapper to the last byte of
# the request in the child, and from the child's write to the wrapper's end.
relay_times() {  # <label> <request-file>
  local sent finished first last write frequency
  timeout 120 "$WINE" "$driver" "$(w probe/TAV_Wrapper.exe)" "$(w answer)" send="$(w "$2")" time \
    >"$work/time.out" 2>/dev/null || return 0
  read -r sent finished < <(tr -d '\r' <"$work/time.out")
  read -r first last write frequency < <(tr -d '\r' <"$work/probe/relay_probe.times")
  echo "time $1: browser frame in -> child's first byte $(((first - sent) * 1000 / frequency)) ms," \
    "-> child's last byte $(((last - sent) * 1000 / frequency)) ms;" \
    "child's answer write -> wrapper done $(((finished - write) * 1000 / frequency)) ms"
}
relay_times "1 KiB request" req_1k
relay_times "1 MiB request" req_1m
relay_times "1 MiB answer" req_big_answer

# With TAV.exe: its answers byte for byte through the wrapper.
login='{"mode":"01","latest_version":"1","available_version":"1","digest":"MDEwDQYJYIZIAWUDBAIBBQAEIEKIITUOlpFJH2FrdUzYMV+4bXl6s12ENHnnMu+QZlMk"}'
tav_frame "$login" >"$work/login"
tav_frame '{"mode":"05"}' >"$work/cancel"
tav_frame '{"mode":"01","latest_version":"1","available_version":"1","service_id":"x","digest":"MDEwDQYJYIZIAWUDBAIBBQAEIEKIITUOlpFJH2FrdUzYMV+4bXl6s12ENHnnMu+QZlMk"}' \
  >"$work/bad_service"
tav_answer_frame $'{\r\n  "mode":"01",\r\n  "result":"1",\r\n  "errcode":"EW042-1204"\r\n}' >"$work/bad_service.tav"
head -c -1 "$work/bad_service.tav" >"$work/bad_service.expected"
check "refused request: TAV's error answer relayed" real "$work/bad_service.expected" \
  send="$(w bad_service)" screen=ErrorScreen click=1 exit=1 gone
: >"$work/none.expected"
check "cancel frame while the card is awaited: no answer" real "$work/none.expected" \
  send="$(w login)" screen=CardRequestScreen send="$(w cancel)" exit=1 screen=ErrorScreen click=1 gone
check "browser closes its pipe: both end, no answer" real "$work/none.expected" \
  send="$(w login)" screen=CardRequestScreen eof exit=1 screen=ErrorScreen click=1 gone
# The user has TAV's end confirmation open when the page cancels or goes: the
# confirmation closes, the notice's Enter ends TAV, and the next request is
# served, not refused as a second TAV.
check "end confirmation open, cancel frame: Enter ends TAV, no answer" real "$work/none.expected" \
  send="$(w login)" screen=CardRequestScreen key=escape open=alert send="$(w cancel)" exit=1 screen=ErrorScreen \
  key=enter gone
check "end confirmation open, browser leaves: Enter ends TAV, no answer" real "$work/none.expected" \
  send="$(w login)" screen=CardRequestScreen key=escape open=alert eof exit=1 screen=ErrorScreen key=enter gone
tav_answer_frame $'{\r\n  "mode":"01",\r\n  "result":"9"\r\n}' | head -c -1 >"$work/ended.expected"
check "the next request is served" real "$work/ended.expected" send="$(w login)" screen=CardRequestScreen end \
  exit=1 gone

# Later frames of the page: whatever comes first (another request, a frame
# above the size limit), a cancel behind it and the page's leaving still count.
tav_frame '{"mode":"01"}' >"$work/other"
tav_frame "{\"pad\":\"$(head -c 2097152 /dev/zero | tr '\0' 'A')\"}" >"$work/oversized"
check "cancel behind other and oversized frames: forwarded, no answer" real "$work/none.expected" \
  send="$(w login)" screen=CardRequestScreen send="$(w other)" send="$(w oversized)" send="$(w cancel)" exit=1 \
  screen=ErrorScreen click=1 gone
check "browser leaves after another frame: both end, no answer" real "$work/none.expected" \
  send="$(w login)" screen=CardRequestScreen send="$(w other)" eof exit=1 screen=ErrorScreen click=1 gone

# A second wrapper while one runs: its answer at once, then its box, which
# neither keeps the name taken nor outlives the page; the first goes on.
tav_frame '{"mode":"01","result":"1","errcode":"EW040-0200"}' >"$work/second.expected"
# run_held <log> <hold> <driver arguments>...: a driver in the background until it holds.
run_held() {
  local log="$1" hold="$2"
  shift 2
  timeout 120 "$WINE" "$driver" "$@" 2>"$log" &
  held=$!
  for _ in $(seq 600); do
    if [ -e "$hold.ready" ] || ! kill -0 "$held" 2>/dev/null; then break; fi
    sleep 0.1
  done
}
# finish_held <pid> <name> <log> <answer>: the held driver succeeded and nothing was answered.
finish_held() {
  local status=0
  wait "$1" || status=$?
  if [ "$status" -ne 0 ] || [ -s "$4" ]; then
    echo "FAILED $2 (driver exit code $status)" >&2
    sed 's/^/  /' "$3" >&2
    failed=1
  else
    echo "ok   $2"
  fi
}
run_held "$work/first.log" "$work/hold1" "$(w real/TAV_Wrapper.exe)" "$(w first_answer)" send="$(w login)" \
  screen=CardRequestScreen hold="$(w hold1)" send="$(w cancel)" exit=1 screen=ErrorScreen click=1
first=$held
check "second wrapper while one runs: refused" real "$work/second.expected" send="$(w login)" box=EW040-0200 exit=0
run_held "$work/second.log" "$work/hold2" "$(w real/TAV_Wrapper.exe)" "$(w second_answer)" send="$(w login)" \
  written="$(w second.expected)" hold="$(w hold2)" eof exit=0
second=$held
touch "$work/hold1.done"
finish_held "$first" "first wrapper goes on beside the second" "$work/first.log" "$work/first_answer"
check "a third wrapper while the refused one shows its box: served" probe "$work/req_1k.expected" \
  send="$(w req_1k)" exit=1
touch "$work/hold2.done"
status=0
wait "$second" || status=$?
if [ "$status" -ne 0 ] || ! cmp -s "$work/second_answer" "$work/second.expected"; then
  echo "FAILED refused wrapper: answer before its box, ends when the page leaves (driver exit code $status)" >&2
  sed 's/^/  /' "$work/second.log" >&2
  failed=1
else
  echo "ok   refused wrapper: answer before its box, ends when the page leaves"
fi

exit "$failed"
