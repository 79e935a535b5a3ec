# shellcheck shell=bash
# The ground the end-to-end scripts stand on under wine64: the frames, the Wine
# environment (the test winscard.dll before Wine's own), a work folder removed
# at exit with whatever the script left running, Windows paths, the screenshot
# loop and ui_driver.exe. Needs a display and the caller's WINEPREFIX.

# shellcheck source=tests/e2e/frames.sh
source "$(dirname "${BASH_SOURCE[0]}")/frames.sh"
WINE="${WINE:-wine}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:+$WINEDLLOVERRIDES;}winscard=n"
snapper=""
daemon=""

windows_path() { printf 'Z:%s' "${1//\//\\}"; }

# The longest origin a request may name (267 characters): four long labels
# (the host breaks after its dots), the registrable part and the highest port.
longest_origin() {
  local label
  label="$(printf 'a%.0s' $(seq 63))"
  printf 'https://%s.%s.%s.%s.example:65535' "$label" "${label//a/b}" "${label//a/c}" "$(printf 'd%.0s' $(seq 53))"
}

# rig_start <name> <win64-build-dir> [<linux-build-dir>]: sets build_dir,
# daemon_bin (cardsim-daemon of the linux build, when given) and work, a fresh
# folder /tmp/tav-<name>.*.
rig_start() {
  build_dir="$(cd "$2" && pwd)"
  if [ -n "${3:-}" ]; then
    daemon_bin="$(cd "$3" && pwd)/tools/cardsim/daemon/cardsim-daemon"
  fi
  work="$(mktemp -d "/tmp/tav-$1.XXXXXX")"
  trap rig_stop EXIT
}

# At exit: the screenshot loop and the card daemon end, the work folder goes.
# A browser's helpers may still write into their profiles for a moment.
rig_stop() {
  local status=$?
  # A command that failed outside a check ends the script through set -e: say so.
  if [ "$status" -ne 0 ]; then echo "$(basename "$0") stopped with status $status" >&2; fi
  if [ -n "$snapper" ]; then kill "$snapper" 2>/dev/null || true; fi
  if [ -n "$daemon" ]; then stop_daemon; fi
  rm -rf "$work" 2>/dev/null || { sleep 2; rm -rf "$work"; }
}

# screenshot <png-file>: the whole screen, when ImageMagick's import is there.
screenshot() {
  if command -v import >/dev/null; then import -window root "$1" 2>/dev/null || true; fi
}

# start_snapper <shot-dir> [<handler>]: answers the drivers' snap=<name> steps
# (<name>.ready in TAV_SNAP_DIR, <name>.done once the handler has run with the
# name). The default handler takes the screenshot <shot-dir>/<name>.png.
start_snapper() {
  local handler="${2:-}"
  shots="$1"
  if [ -z "$handler" ]; then
    handler=snap_screen
  fi
  mkdir -p "$shots" "$work/snaps"
  export TAV_SNAP_DIR
  TAV_SNAP_DIR="$(windows_path "$work/snaps")"
  if ! command -v import >/dev/null; then
    echo "note: imagemagick's import is missing; no screenshots" >&2
  fi
  (
    while true; do
      for ready in "$work"/snaps/*.ready; do
        [ -e "$ready" ] || continue
        name="$(basename "$ready" .ready)"
        "$handler" "$name"
        rm -f "$ready"
        touch "$work/snaps/$name.done"
      done
      sleep 0.1
    done
  ) &
  snapper=$!
}
snap_screen() { screenshot "$shots/$1.png"; }

# drive_tav <request-file> <answer-file> <driver step>...: $work/TAV.exe on one
# request through ui_driver.exe, bounded; the driver's reasons for a failure go
# to <answer-file>.log.
drive_tav() {
  local request="$1" answer="$2"
  shift 2
  rm -f "$answer" "$answer.log"
  timeout 120 "$WINE" "$build_dir/tests/e2e/ui_driver.exe" "$(windows_path "$work/TAV.exe")" \
    "$(windows_path "$request")" "$(windows_path "$answer")" "$@"
}
