#!/usr/bin/env bash
# TAV_Wrapper.exe under wine64 as the browser sees it: request frames into the
# wrapper, answers out byte for byte. First with a stand-in for TAV.exe that
# checks and times the relay alone, then with TAV.exe itself (no reader).
# Needs a display (run_wine_tests.sh starts Xvfb) and the caller's WINEPREFIX.
# Usage: tests/e2e/wrapper_flow.sh <build-dir>
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
# shellcheck source=tests/e2e/frames.sh
source "$here/frames.sh"
build_dir="$(cd "$1" && pwd)"
WINE="${WINE:-wine}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:+$WINEDLLOVERRIDES;}winscard=n"

work="$(mktemp -d /tmp/tav-wrapper.XXXXXX)"
trap 'rm -rf "$work"' EXIT
windows_path() { printf 'Z:%s' "${1//\//\\}"; }
driver="$build_dir/tests/e2e/wrapper_driver.exe"

# Two installations: the real pair, and the wrapper beside the stand-in.
mkdir -p "$work/real" "$work/probe"
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
  send="$(w req_file)" 'type=1002:C:\certs\a.p12' 'type=1003:p"w\' press=1007 exit=1 gone

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

# A second wrapper while one runs: its own box and answer; the first goes on.
tav_frame '{"mode":"01","result":"1","errcode":"EW040-0200"}' >"$work/second.expected"
hold="$work/hold"
timeout 120 "$WINE" "$driver" "$(w real/TAV_Wrapper.exe)" "$(w first_answer)" send="$(w login)" \
  screen=CardRequestScreen hold="$(windows_path "$hold")" send="$(w cancel)" exit=1 screen=ErrorScreen click=1 \
  2>"$work/first.log" &
first=$!
for _ in $(seq 600); do
  if [ -e "$hold.ready" ] || ! kill -0 "$first" 2>/dev/null; then break; fi
  sleep 0.1
done
check "second wrapper while one runs: refused" real "$work/second.expected" send="$(w login)" box=EW040-0200 exit=0
touch "$hold.done"
first_status=0
wait "$first" || first_status=$?
if [ "$first_status" -ne 0 ] || [ -s "$work/first_answer" ]; then
  echo "FAILED first wrapper beside the second (driver exit code $first_status)" >&2
  sed 's/^/  /' "$work/first.log" >&2
  failed=1
else
  echo "ok   first wrapper goes on beside the second"
fi

exit "$failed"
