#!/usr/bin/env bash
# Installs the Debian 12 packages the builds, tests and tools need, the npm
# packages of the browser tests (tests/browser; web/test takes TypeScript from
# there) and the server verifier (server), each from its lock file, and Debian
# 13's Wine 10 in its own tree for the 32-bit release (scripts/wine10-tree.sh).
# Shared by .ci/run, scripts/test-all.sh and scripts/run-main.sh. Run as root
# (or with sudo available); does nothing when all packages are present.
# Usage: scripts/install-deps.sh [main|main-linux]   (only what scripts/run-main.sh
# needs, or scripts/run-main.sh linux)
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

# What both main jobs need: the native build (the card daemon, the Linux
# programs' Qt), Xvfb, and Chromium in front of the programs.
packages=(
  cmake make g++ pkg-config googletest libgtest-dev libgmock-dev libbenchmark-dev libpcsclite-dev libssl-dev
  openssl xxd xvfb xauth fonts-noto-cjk chromium
  # TAV's Linux screens and the Linux wrapper's file dialog (Qt 6 Widgets, with QtTest), and
  # Qt's own texts in Japanese
  qt6-base-dev qt6-translations-l10n
  # the browser rig, the unit tests of the extension's rules and the page library, and the server verifier
  # (node --test); the Public Suffix List, from which every build makes both programs' tables (with Node)
  nodejs publicsuffix
)
if [ "${1:-}" != main-linux ]; then
  # the win64 programs under wine
  packages+=(g++-mingw-w64-x86-64-posix wine wine64 fonts-wine)
fi
if [ "${1:-}" != main ]; then
  # the Linux programs' virtual card reader: pcscd with the vpcd driver
  packages+=(pcscd vsmartcard-vpcd)
fi
if [ "${1:-}" != main ] && [ "${1:-}" != main-linux ]; then
  packages+=(
    # sanitizers and fuzzing with clang
    clang libclang-rt-14-dev
    # the 32-bit release build, and the tree of the Wine that runs it
    mingw-w64 g++-mingw-w64-i686-posix mmdebstrap
    # the MSI installers and their Authenticode signatures, and Firefox ESR in front of the wrapper
    wixl osslsigncode firefox-esr
    # screenshots of the screens in the end-to-end tests
    imagemagick
    # a second PC/SC client to see what the card holds after TAV let it go
    pcsc-tools opensc
    # the Debian package's check (its throwaway Debian root comes from mmdebstrap, above)
    dpkg-dev lintian
  )
fi
# npm comes with some builds of Node.js; Debian's is a package of its own.
if ! command -v npm >/dev/null; then
  packages+=(npm)
fi

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$package")
  fi
done
npm_packages() {
  local folder
  for folder in tests/browser server; do
    local modules="$root/$folder/node_modules"
    if [ ! -f "$modules/.package-lock.json" ] || [ "$root/$folder/package-lock.json" -nt "$modules/.package-lock.json" ]; then
      (cd "$root/$folder" && npm ci --no-audit --no-fund --loglevel=error)
    fi
  done
}
as_root=()
if [ "$(id -u)" -ne 0 ] && command -v sudo >/dev/null; then
  as_root=(sudo)
fi
if [ "${#missing[@]}" -eq 0 ]; then
  echo "install-deps: all ${#packages[@]} packages present"
else
  if [ "$(id -u)" -ne 0 ] && [ "${#as_root[@]}" -eq 0 ]; then
    echo "install-deps: missing packages (${missing[*]}); run as root" >&2
    exit 1
  fi
  echo "install-deps: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  "${as_root[@]}" apt-get update
  "${as_root[@]}" apt-get install -y "${packages[@]}"
fi
npm_packages
if [ "${1:-}" != main ] && [ "${1:-}" != main-linux ]; then
  "${as_root[@]}" "$root/scripts/wine10-tree.sh"
fi
