#!/usr/bin/env bash
# The whole test run: native unit and integration tests, the Linux programs'
# Debian package and their browser cases, the same tests under
# AddressSanitizer and UndefinedBehaviorSanitizer, the threaded tests under
# ThreadSanitizer, a replay of the fuzzers' corpora, both Windows builds, the
# release artefacts (reproducible, signed with a throwaway CA), the Windows
# tests of the win64 build under wine64 (Wine 8), and beside them the win32
# release under Wine 10 (x86). Fails at the first failing step.
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

step "linux-sanitize: build"
build linux-sanitize
step "linux-sanitize: unit tests under ASan and UBSan"
ctest --preset linux-sanitize -LE integration -j2

step "linux-tsan: build the unit tests (clang, ThreadSanitizer)"
cmake --preset linux-tsan >/dev/null
cmake --build --preset linux-tsan -j2 --target tav_unit_tests
step "linux-tsan: the flow, worker and watcher tests and the Linux wrapper's frame under ThreadSanitizer"
ctest --preset linux-tsan -j2 -R 'FlowTest|CardAccessThread|InterruptThread|EndAlert|ResultData|Interrupt|DigestSigning|PosixFrame|FdChannel'

step "fuzz: build the libFuzzer targets (clang)"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j2 --target request_fuzzer x509_certificate_fuzz x509_extension_fuzz card_response_fuzz wrapper_frame_fuzzer
step "fuzz: replay the kept corpora"
"$root/scripts/fuzz.sh" replay

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
step "win64: Windows tests under wine64; beside them the win32 release under Wine 10"
# The two suites wait on their windows far more than they compute: side by
# side, each with its own display, prefix, wineserver and reader ports. The
# x86 suite runs in a session of its own, ended whole if this run is.
x86_log="$root/build/win32/x86-tests.log"
setsid env -u DISPLAY TAV_E2E_PORT=$((${TAV_E2E_PORT:-35000} + 500)) \
  "$root/tests/win/run_x86_tests.sh" "$root/build/win32" "$root/build/linux" >"$x86_log" 2>&1 &
x86=$!
trap 'kill -- "-$x86" 2>/dev/null || true' EXIT
wine64_status=0
"$root/tests/win/run_wine_tests.sh" "$root/build/win64" || wine64_status=$?
x86_status=0
wait "$x86" || x86_status=$?
trap - EXIT
step "win32: the release under Wine 10 (x86), run beside the wine64 tests"
cat "$x86_log"
[ "$wine64_status" -eq 0 ] && [ "$x86_status" -eq 0 ]

step "all tests passed"
