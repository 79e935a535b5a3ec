#!/usr/bin/env bash
# A real browser in front of TAV_Wrapper.exe: Debian's Chromium or Firefox ESR,
# headless, with a small test extension (MV3 for Chromium, MV2 for Firefox,
# which would otherwise ask for the host permission) whose page sends a
# one-shot request
# (runtime.sendNativeMessage) and then a request followed by a cancel on a
# runtime.connectNative port. The host manifest points at a launcher that runs
# TAV_Wrapper.exe under wine64; the browser's pipes go to the wrapper as they
# are (the wrapper reads them with blocking reads, so they need no Windows
# pipe in between). wrapper_driver.exe acts on TAV's screens meanwhile. The page reports
# what it received to a one-shot result server on 127.0.0.1 (any free port).
# Needs the caller's prepared WINEPREFIX and a display.
# Usage: tests/browser/browser_flow.sh <build-dir> chromium|firefox
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
build_dir="$(cd "$1" && pwd)"
kind="$2"
WINE="${WINE:-wine}"
host=com.vandrel.kelvarist.tavori
work="$(mktemp -d /tmp/tav-browser.XXXXXX)"
browser=""
server=""
cleanup() {
  if [ -n "$browser" ]; then kill "$browser" 2>/dev/null || true; wait "$browser" 2>/dev/null || true; fi
  if [ -n "$server" ]; then kill "$server" 2>/dev/null || true; fi
  # The browser's helpers may still write into the profile for a moment.
  rm -rf "$work" 2>/dev/null || { sleep 2; rm -rf "$work"; }
}
trap cleanup EXIT

mkdir -p "$work/tavori" "$work/profile"
cp "$build_dir/wrapper/win32/TAV_Wrapper.exe" "$build_dir/host/app/TAV.exe" "$build_dir/tests/e2e/winscard.dll" \
  "$work/tavori/"
cat >"$work/tav-host.sh" <<LAUNCHER
#!/bin/sh
# Chromium's native host: the wrapper under wine64, on the browser's own pipes.
export WINEPREFIX='$WINEPREFIX' WINEDEBUG=-all WINEDLLOVERRIDES='mscoree,mshtml=;winscard=n'
exec '$(command -v "$WINE")' '$work/tavori/TAV_Wrapper.exe'
LAUNCHER
chmod +x "$work/tav-host.sh"

cp -r "$here/extension" "$work/extension"
if [ "$kind" = chromium ]; then
  # The extension's ID follows from its key: a fresh key each run.
  openssl genrsa 2048 2>/dev/null | openssl rsa -pubout -outform DER -out "$work/key.der" 2>/dev/null
  extension_id="$(python3 - "$work/key.der" "$work/extension/manifest.json" <<'PY'
import base64, hashlib, json, sys
der = open(sys.argv[1], "rb").read()
manifest = json.load(open(sys.argv[2]))
manifest["key"] = base64.b64encode(der).decode()
json.dump(manifest, open(sys.argv[2], "w"), indent=2)
print("".join(chr(ord("a") + int(c, 16)) for c in hashlib.sha256(der).hexdigest()[:32]))
PY
)"
  allowed="\"allowed_origins\": [\"chrome-extension://$extension_id/\"]"
  manifest_dir="$work/profile/NativeMessagingHosts"
else
  mv "$work/extension/manifest.firefox.json" "$work/extension/manifest.json"
  allowed='"allowed_extensions": ["tavori-test@example.invalid"]'
  manifest_dir="$work/home/.mozilla/native-messaging-hosts"
fi
rm -f "$work/extension/manifest.firefox.json"
mkdir -p "$manifest_dir"
cat >"$manifest_dir/$host.json" <<MANIFEST
{"name": "$host", "description": "Tavori (test)", "path": "$work/tav-host.sh", "type": "stdio", $allowed}
MANIFEST

# The result server: takes one POST, keeps its body, ends.
python3 - "$work/port" "$work/result.json" <<'PY' &
import http.server, sys
class Sink(http.server.BaseHTTPRequestHandler):
    def do_POST(self):
        body = self.rfile.read(int(self.headers["Content-Length"]))
        open(sys.argv[2], "wb").write(body)
        self.send_response(204)
        self.send_header("Access-Control-Allow-Origin", "*")
        self.end_headers()
    def log_message(self, *args):
        pass
server = http.server.HTTPServer(("127.0.0.1", 0), Sink)
open(sys.argv[1], "w").write(str(server.server_address[1]))
server.timeout = 120
server.handle_request()
PY
server=$!
for _ in $(seq 100); do [ -s "$work/port" ] && break; sleep 0.1; done

# A refused request (its service id is one character): TAV's error screen,
# closed by the driver, then TAV's error answer. Then a log-in, cancelled by
# the page while the card is awaited: no answer, the port disconnects.
oneshot='{"mode":"01","latest_version":"1","available_version":"1","service_id":"x","digest":"MDEwDQYJYIZIAWUDBAIBBQAEIEKIITUOlpFJH2FrdUzYMV+4bXl6s12ENHnnMu+QZlMk"}'
connect='{"mode":"01","latest_version":"1","available_version":"1","digest":"MDEwDQYJYIZIAWUDBAIBBQAEIEKIITUOlpFJH2FrdUzYMV+4bXl6s12ENHnnMu+QZlMk"}'
printf 'const kTestConfig = {port: %s, oneShotRequest: %s, connectRequest: %s, cancelAfterMs: 6000};\n' \
  "$(cat "$work/port")" "$oneshot" "$connect" >"$work/extension/config.js"

WINEDEBUG=-all timeout 180 "$WINE" "$build_dir/tests/e2e/wrapper_driver.exe" - - screen=ErrorScreen click=1 \
  screen=CardRequestScreen screen=ErrorScreen click=1 gone >"$work/driver.log" 2>&1 &
driver=$!
if [ "$kind" = chromium ]; then
  chromium --headless=new --no-sandbox --disable-gpu --no-first-run --user-data-dir="$work/profile" \
    --load-extension="$work/extension" --disable-features=DisableLoadExtensionCommandLineSwitch \
    >"$work/browser.log" 2>&1 &
else
  # Unsigned extensions load from the profile only with signing checks off (ESR allows it).
  mkdir -p "$work/profile/extensions"
  (cd "$work/extension" && python3 -c 'import os, sys, zipfile
with zipfile.ZipFile(sys.argv[1], "w") as z:
    [z.write(f) for f in sorted(os.listdir("."))]' "$work/profile/extensions/tavori-test@example.invalid.xpi")
  printf 'user_pref("%s", %s);\n' xpinstall.signatures.required false extensions.autoDisableScopes 0 \
    extensions.enabledScopes 15 >"$work/profile/user.js"
  HOME="$work/home" firefox-esr --headless --no-remote --profile "$work/profile" about:blank >"$work/browser.log" 2>&1 &
fi
browser=$!

failed=0
wait "$server" || true
server=""
driver_status=0
wait "$driver" || driver_status=$?
if [ "$driver_status" -ne 0 ]; then
  echo "FAILED the driver on TAV's screens (exit code $driver_status)" >&2
  grep -v -e wine32 -e multiarch -e 'dpkg --add' "$work/driver.log" | sed 's/^/  /' >&2 || true
  failed=1
fi
if [ ! -s "$work/result.json" ]; then
  echo "FAILED the page reported nothing" >&2
  grep -v -e dbus -e "Fontconfig" "$work/browser.log" | tail -20 | sed 's/^/  /' >&2
  exit 1
fi
python3 - "$work/result.json" "$kind" <<'PY' || failed=1
import json, sys
report = json.load(open(sys.argv[1]))
ok = True
expected = {"mode": "01", "result": "1", "errcode": "EW042-1204"}
if report["oneshot"] != {"answer": expected}:
    print("FAILED sendNativeMessage: the page received %r" % report["oneshot"], file=sys.stderr); ok = False
else:
    print("ok   %s sendNativeMessage: the page received TAV's answer %s" % (sys.argv[2], json.dumps(expected)))
if report["connect"] != {"received": [], "disconnected": True}:
    print("FAILED connectNative then cancel: %r" % report["connect"], file=sys.stderr); ok = False
else:
    print("ok   %s connectNative, then a cancel: no answer, the port disconnects" % sys.argv[2])
sys.exit(0 if ok else 1)
PY
exit "$failed"
