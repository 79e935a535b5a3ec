#!/usr/bin/env bash
# The whole test run: native unit and integration tests, the Linux programs'
# Debian package and their browser cases, both Windows builds, the release
# artefacts (reproducible, signed with a throwaway CA), the Windows tests of
# the win64 build under wine64 (Wine 8) and beside them the win32 release under
# Wine 10 (x86); while those two run, the tests under AddressSanitizer and
# UndefinedBehaviorSanitizer, the threaded tests under ThreadSanitizer and a
# replay of the fuzzers' corpora. Fails at the first failing step, or at the
# end when a Windows suite failed.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
"$root/scripts/install-deps.sh"

step() { printf '\n=== %s (%ds)\n' "$1" "$SECONDS"; }

build() {
  cmake --preset "$1" >/dev/null
  cmake --build --preset "$1" -j2
}

step "web: the extension's rules and the page library (node --test)"; node --test "$root"/web/test/*.test.js
step "server: the verifier, its vectors and revocation against local CRL and OCSP servers (npm test)"
(cd "$root/server" && npm test)
step "linux: build"
build linux
step "linux: unit tests"
ctest --preset linux -LE integration -j2
step "linux: integration tests (pcscd and the virtual card)"
ctest --preset linux -L integration --no-tests=ignore
step "linux: the Debian package, checked by lintian"
cmake --build --preset linux --target tavori_deb
lintian --fail-on error,warning build/linux/deb/tavori_*.deb
step "linux: the browser cases against the Linux host (Chromium and Firefox ESR, TAV behind pcscd)"
for browser in chromium firefox; do
  xvfb-run -a -s "-screen 0 1280x1024x24" "$root/tests/browser/browser_flow.sh" --linux "$root/build/linux" \
    browser_cases.mjs "$browser"
done

step "win32: build without a compiler cache (the release build)"
# The release's bytes are compared with a second build below: neither may come
# from cached objects, which could hide a build path.
if grep -q '^CMAKE_CXX_COMPILER_LAUNCHER:STRING=.' build/win32/CMakeCache.txt 2>/dev/null; then
  rm -rf build/win32
fi
env -u CMAKE_C_COMPILER_LAUNCHER -u CMAKE_CXX_COMPILER_LAUNCHER \
  cmake --preset win32 -DCMAKE_C_COMPILER_LAUNCHER= -DCMAKE_CXX_COMPILER_LAUNCHER= >/dev/null
cmake --build --preset win32 -j2
step "win32: release artefacts: version resources, a second build compared byte for byte, signing with a throwaway CA"
"$root/tests/e2e/release_flow.sh" "$root/build/win32"

step "win64: build"
build win64

# The Windows suites wait on their windows far more than they compute. They run
# side by side, each in a session of its own (ended whole if this run is), with
# its own display, prefix, wineserver and reader ports, while the sanitizer and
# fuzzer builds take the idle processor at the lowest priority. Each suite's
# status is the one its own shell writes, next to its log.
lanes="$root/build/lanes"
rm -rf "$lanes"
mkdir -p "$lanes"
lane_pids=()
start_lane() {
  local name="$1"
  shift
  setsid env -u DISPLAY bash -c '"$@"; echo $? >"$0"' "$lanes/$name.status" "$@" >"$lanes/$name.log" 2>&1 &
  lane_pids+=("$!")
}
trap 'for pid in "${lane_pids[@]}"; do kill -- "-$pid" 2>/dev/null || true; done' EXIT
step "win64 and win32: the Windows suites start (wine64; the win32 release under Wine 10)"
start_lane wine64 "$root/tests/win/run_wine_tests.sh" "$root/build/win64"
start_lane x86 env TAV_E2E_PORT=$((${TAV_E2E_PORT:-35000} + 500)) \
  "$root/tests/win/run_x86_tests.sh" "$root/build/win32" "$root/build/linux"

step "linux-sanitize: build"
nice -n 19 cmake --preset linux-sanitize >/dev/null
nice -n 19 cmake --build --preset linux-sanitize -j2
step "linux-sanitize: unit tests under ASan and UBSan"
nice -n 19 ctest --preset linux-sanitize -LE integration -j2

step "linux-tsan: build the unit tests (clang, ThreadSanitizer)"
nice -n 19 cmake --preset linux-tsan >/dev/null
nice -n 19 cmake --build --preset linux-tsan -j2 --target tav_unit_tests
step "linux-tsan: the flow, worker and watcher tests and the Linux wrapper's frame under ThreadSanitizer"
nice -n 19 ctest --preset linux-tsan -j2 -R 'FlowTest|CardAccessThread|InterruptThread|EndAlert|ResultData|Interrupt|DigestSigning|PosixFrame|FdChannel'

step "fuzz: build the libFuzzer targets (clang)"
nice -n 19 cmake --preset fuzz >/dev/null
nice -n 19 cmake --build --preset fuzz -j2 --target request_fuzzer x509_certificate_fuzz x509_extension_fuzz card_response_fuzz wrapper_frame_fuzzer
step "fuzz: replay the kept corpora"
nice -n 19 "$root/scripts/fuzz.sh" replay

wait "${lane_pids[@]}" 2>/dev/null || true
suites_passed=true
for lane in wine64 x86; do
  case "$lane" in
    wine64) step "win64: the Windows tests under wine64" ;;
    x86) step "win32: the release under Wine 10 (x86)" ;;
  esac
  cat "$lanes/$lane.log"
  if [ "$(cat "$lanes/$lane.status" 2>/dev/null)" != 0 ]; then
    echo "the $lane suite FAILED (status: $(cat "$lanes/$lane.status" 2>/dev/null || echo none))" >&2
    suites_passed=false
  fi
done
trap - EXIT
$suites_passed

step "all tests passed"
