#!/usr/bin/env bash
# The page ends a run while the user has a modal dialog open over a screen:
# TAV.exe under wine64 with the virtual cards of cardsim-daemon, driven by
# ui_driver.exe. For every screen the caller can interrupt, with each modal
# that can be open over it (the end confirmation, the version information,
# the save dialog), the page cancels ("05") or goes (its pipe closes). The
# modal must close, the notice show, and the user's Enter end TAV (exit code 0,
# no answer). Each case starts a new TAV: one left running would refuse it.
# Needs a display and the caller's WINEPREFIX (run_wine_tests.sh sets both).
# The readers listen on TAV_E2E_PORT and the ports after it (default 35400).
# Usage: tests/e2e/interrupt_flow.sh <win64-build-dir> <linux-build-dir>
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
# shellcheck source=tests/e2e/e2e_rig.sh
source "$here/e2e_rig.sh"
# shellcheck source=tests/e2e/card_rig.sh
source "$here/card_rig.sh"
rig_start interrupt-e2e "$1" "$2"
port="${TAV_E2E_PORT:-35400}"
mkdir -p "$work/keys"
cp "$build_dir/host/app/TAV.exe" "$build_dir/tests/e2e/winscard.dll" "$work/"
tav_frame '{"mode":"05"}' >"$work/cancel"

versions='"latest_version":"1","available_version":"1"'
one_digest='"digest":["'"$(digest_info "one")"'"]'
many_digests='"digest":["'"$(digest_info "one")"'"'
for _ in $(seq 20); do many_digests+=',"'"$(digest_info "another")"'"'; done
many_digests+=']'
login='{"mode":"01",'"$versions"','"$one_digest"'}'

failed=0
# interrupted <screen> <request-json> <modal> <steps to the screen...>: for each
# way the page ends, the screen is reached, the modal opened, the page ends,
# then the notice's Enter must end TAV without an answer.
interrupted() {
  local screen="$1" request="$2" modal="$3" page status opener
  shift 3
  case "$modal" in
    alert) opener=(close open=alert) ;;
    escape) opener=(key=escape open=alert) ;;
    version) opener=(click=57664 open=version) ;;
    save) opener=(click=1079 open=save) ;;
  esac
  tav_frame "$request" >"$work/request"
  for page in cancels goes; do
    local ends=(write="$(windows_path "$work/cancel")")
    [ "$page" = goes ] && ends=(eof)
    status=0
    drive_tav "$work/request" "$work/answer" "$@" "${opener[@]}" "${ends[@]}" screen=ErrorScreen \
      text=1039:表示中のページから移動された key=enter 2>"$work/driver.log" || status=$?
    if [ "$status" -ne 0 ]; then
      echo "FAILED $screen, $modal open, the page $page: driver exit code $status" >&2
      sed 's/^/  /' "$work/answer.log" >&2 || true
      failed=1
    elif [ -s "$work/answer" ]; then
      echo "FAILED $screen, $modal open, the page $page: an answer was written" >&2
      failed=1
    else
      echo "ok   $screen, $modal open, the page $page: Enter ends TAV, no answer"
    fi
  done
}

start_daemon --card empty
for modal in alert version; do
  interrupted "card request" "$login" "$modal" screen=CardRequestScreen
done

start_daemon --card mynumber
for modal in escape version; do
  interrupted "password entry" "$login" "$modal" screen=PasswordSetScreen
done
for modal in alert version; do
  interrupted "certificate confirmation" '{"mode":"07",'"$versions"','"$one_digest"'}' "$modal" \
    screen=PasswordSetScreen type=1002:abc123 click=1 screen=CertificateConfirmScreen
done
interrupted "version notice" '{"mode":"01","latest_version":"9","available_version":"1",'"$one_digest"'}' version \
  screen=VersionInfoScreen

start_daemon --card mynumber --auth-pin-tries 0
interrupted "error screen" "$login" version screen=PasswordSetScreen type=1002:1234 click=1 \
  screen=ErrorScreen text=1039:EW140-1600

# The signing progress: only the end confirmation opens over it.
start_daemon --card mynumber --delay-ms 300
interrupted "signing progress" '{"mode":"02",'"$versions"','"$many_digests"'}' alert \
  screen=PasswordSetScreen type=1002:abc123 click=1 screen=ProcessingScreen text=-1:1/21

start_daemon --card gpki
for modal in alert version save; do
  interrupted "GPKI certificate confirmation" '{"mode":"12",'"$versions"','"$one_digest"'}' "$modal" \
    screen=PasswordSetScreen type=1002:GPKI1234 click=1 screen=CertificateConfirmScreenGpkiAp
done

stop_daemon
exit "$failed"
