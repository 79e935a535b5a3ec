#!/usr/bin/env bash
# Debian 13's Wine 10 in a folder tree of its own, outside the checkout, for the
# 32-bit release: this machine's kernel runs no 32-bit Linux programs, so
# Debian 12's 32-bit Wine cannot start, while Wine 10 runs 32-bit Windows
# programs inside its 64-bit process (WoW64) once the 32-bit Windows DLLs of the
# i386 libwine of its own version lie beside its 64-bit ones (Debian's amd64
# Wine ships none). tests/win/wine10.sh runs the tree's programs.
# The tree is built once and kept while its inputs (suite, mirror, packages, and
# the version of those DLLs, all in its stamp) stay the same. It is built in a
# folder of its own and renamed into place with its stamp, so a build that
# failed or was killed is never taken for a tree; mmdebstrap's mounts live in a
# mount namespace that ends with it.
# Run as root (install-deps.sh calls it). The tree: TAV_WINE10_TREE, default
# /var/cache/tavori/wine10.
# Usage: scripts/wine10-tree.sh
set -euo pipefail

# As mmdebstrap's customize hook, inside the new tree ($1): the 32-bit Windows
# DLLs of the i386 libwine of the version installed.
if [ "${MMDEBSTRAP_HOOK:-}" = customize ]; then
  version="$(dpkg-query --admindir="$1/var/lib/dpkg" -W -f='${Version}' libwine:amd64)"
  scratch="$1/tmp/libwine-i386"
  mkdir -p "$scratch"
  chmod 1777 "$scratch"
  (cd "$scratch" && APT_CONFIG="$MMDEBSTRAP_APT_CONFIG" apt-get download -q "libwine:i386=$version")
  dpkg-deb -x "$scratch"/libwine_*_i386.deb "$scratch/unpacked"
  mkdir -p "$1/usr/lib/x86_64-linux-gnu/wine/i386-windows"
  cp -a "$scratch/unpacked/usr/lib/i386-linux-gnu/wine/i386-windows/." "$1/usr/lib/x86_64-linux-gnu/wine/i386-windows/"
  rm -rf "$scratch"
  exit 0
fi

tree="${TAV_WINE10_TREE:-/var/cache/tavori/wine10}"
suite=trixie
# Japanese fonts for the screens, and the time zones (the tests' local time is
# Japan's). The X server, its cookie and the tests' tools stay on the machine.
packages=wine,wine64,fonts-noto-cjk,tzdata
# The Debian mirror the machine's own apt uses for its release (apt expands the $(...) fields).
# shellcheck source=/dev/null
codename="$(. /etc/os-release && echo "${VERSION_CODENAME:-}")"
# shellcheck disable=SC2016
mirror="$(apt-get indextargets --format '$(REPO_URI) $(RELEASE)' 2>/dev/null |
  awk -v suite="$codename" '$2 == suite { print $1; exit }')"
mirror="${mirror:-http://deb.debian.org/debian/}"

# stamp <libwine version>: what the tree was made from.
stamp() { printf 'suite %s\nmirror %s\npackages %s\nlibwine-i386 %s\n' "$suite" "$mirror" "$packages" "$1"; }
# The tree's stamp names these inputs and the version its Wine has.
if [ -f "$tree/.tavori-stamp" ]; then
  installed="$(dpkg-query --admindir="$tree/var/lib/dpkg" -W -f='${Version}' libwine:amd64 2>/dev/null || true)"
  if [ -n "$installed" ] && [ "$(cat "$tree/.tavori-stamp")" = "$(stamp "$installed")" ]; then
    echo "wine10-tree: $tree is current (Wine $installed)"
    exit 0
  fi
fi

new="$tree.new"
# mmdebstrap runs in a session of its own, ended whole before its folder goes.
builder=""
cleanup() {
  if [ -n "$builder" ]; then
    kill -- "-$builder" 2>/dev/null || true
    wait "$builder" 2>/dev/null || true
  fi
  rm -rf "$new"
}
trap cleanup EXIT
rm -rf "$new"
mkdir -p "$(dirname "$tree")"
echo "wine10-tree: building $tree from $suite at $mirror"
started=$SECONDS
setsid unshare --mount --propagation private -- mmdebstrap --quiet --mode=root --variant=apt \
  --architectures=amd64,i386 --include="$packages" --customize-hook="$(readlink -f "$0")" \
  "$suite" "$new" "$mirror" &
builder=$!
wait "$builder"
builder=""
installed="$(dpkg-query --admindir="$new/var/lib/dpkg" -W -f='${Version}' libwine:amd64)"
if [ ! -f "$new/usr/lib/x86_64-linux-gnu/wine/i386-windows/ntdll.dll" ]; then
  echo "wine10-tree: the 32-bit DLLs are missing from $new" >&2
  exit 1
fi
stamp "$installed" >"$new/.tavori-stamp"
rm -rf "$tree"
mv "$new" "$tree"
echo "wine10-tree: built $tree (Wine $installed) in $((SECONDS - started)) s, $(du -sh "$tree" | cut -f1)"
