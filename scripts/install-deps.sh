#!/usr/bin/env bash
# Installs every Debian 12 package the builds, tests and tools need.
# Shared by .ci/run, scripts/test-all.sh and scripts/run-main.sh. Run as root
# (or with sudo available); does nothing when all packages are present.
set -euo pipefail

packages=(
  # native build and tests
  cmake make g++ pkg-config googletest libgtest-dev libgmock-dev libbenchmark-dev
  # sanitizers and fuzzing with clang
  clang libclang-rt-14-dev
  # Windows builds (the -posix compilers come with these) and running them
  mingw-w64 g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix wine wine64 xvfb xauth fonts-noto-cjk
  # the MSI installers and their Authenticode signatures, and real browsers in front of the wrapper
  wixl osslsigncode chromium firefox-esr
  # screenshots of the screens in the end-to-end tests
  imagemagick
  # smart cards: pcsc-lite with the virtual reader driver, and OpenSSL
  pcscd libpcsclite-dev vsmartcard-vpcd pcsc-tools libssl-dev openssl
  # a second PC/SC client, to see what the card holds after TAV let it go
  opensc
  # the card cases under wine: DigestInfo bytes (xxd), the caption buttons' Marlett
  xxd fonts-wine
  # the unit tests of the browser extension's rules and the page library (node --test)
  nodejs
)

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$package")
  fi
done
if [ "${#missing[@]}" -eq 0 ]; then
  echo "install-deps: all ${#packages[@]} packages present"
  exit 0
fi

as_root=()
if [ "$(id -u)" -ne 0 ]; then
  if ! command -v sudo >/dev/null; then
    echo "install-deps: missing packages (${missing[*]}); run as root" >&2
    exit 1
  fi
  as_root=(sudo)
fi
echo "install-deps: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${as_root[@]}" apt-get update
"${as_root[@]}" apt-get install -y "${packages[@]}"
