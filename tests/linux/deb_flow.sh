#!/usr/bin/env bash
# The Debian package in a throwaway Debian 12 root, never on this machine: it
# installs with its dependencies from the archive, Chromium and Firefox ESR find
# the host through their system-wide folders alone (status() is "ready"), and
# purging it leaves no file of it and no host (status() is "host-missing").
# The root is unpacked from a tarball made once by mmdebstrap (bookworm with
# the two browsers; kept in build/deb-chroot) and removed after; the browser
# rig runs in it with this machine's Node.js and tests/browser, mounted read-only;
# every bind mount is undone on every way out, before anything is removed.
# Usage: tests/linux/deb_flow.sh <tavori_*.deb>
set -euo pipefail
trap 'echo "deb_flow: stopped at line $LINENO (status $?)" >&2' ERR

deb="$(realpath "$1")"
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
repo="$(cd "$here/../.." && pwd)"
base="${TAV_DEB_BASE:-$repo/build/deb-chroot/base.tar}"
if [ ! -f "$base" ]; then
  mkdir -p "$(dirname "$base")"
  # Its format follows the name: a tarball, written whole before it is taken.
  mmdebstrap --variant=apt --include=chromium,firefox-esr bookworm "$base.part.tar"
  mv "$base.part.tar" "$base"
fi

work="$(mktemp -d /tmp/tav-deb.XXXXXX)"
root="$work/root"
mounts=()
cleanup() {
  local i
  for ((i = ${#mounts[@]} - 1; i >= 0; i--)); do
    umount "${mounts[i]}" 2>/dev/null || umount -l "${mounts[i]}" || true
  done
  # Never remove through a mount that is still there.
  if findmnt -rn -o TARGET | grep -q "^$work"; then
    echo "deb_flow: $work still has mounts; left in place" >&2
  else
    rm -rf "$work"
  fi
}
trap cleanup EXIT
mount_in() {  # mount_in <what> <where in the root> [mount options...]
  if [ -f "$1" ]; then
    mkdir -p "$(dirname "$root$2")"
    touch "$root$2"
  else
    mkdir -p "$root$2"
  fi
  mount "${@:3}" "$1" "$root$2"
  mounts+=("$root$2")
}

mkdir -p "$root"
tar -xf "$base" -C "$root"
mount_in proc /proc -t proc
mount_in /dev /dev --bind
mount_in devpts /dev/pts -t devpts
mount_in tmpfs /dev/shm -t tmpfs
mount_in /sys /sys --bind
mount_in "$repo/web" /src/web --bind -o ro
mount_in "$repo/tests/browser" /src/tests/browser --bind -o ro
mount_in "$repo/server" /src/server --bind -o ro
mount_in "$(command -v node)" /usr/local/bin/node --bind -o ro
cp /etc/resolv.conf "$root/etc/resolv.conf"
cp "$deb" "$root/tmp/tavori.deb"
# The demo server wants a CA to trust; no log-in happens here, so any will do.
openssl req -x509 -newkey rsa:2048 -nodes -subj /CN=deb-flow -days 1 -keyout "$work/ca.key" -outform DER \
  -out "$root/tmp/ca.der" \
  2>/dev/null
in_root() { chroot "$root" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LANG=C.UTF-8 "$@"; }
passes=0
failures=0
check() {  # check <what> <command...>
  if "${@:2}"; then
    echo "ok   $1"
    passes=$((passes + 1))
  else
    echo "FAILED $1"
    failures=$((failures + 1))
  fi
}
browsers_see() {  # browsers_see ready|host-missing
  local kind
  for kind in chromium firefox; do
    in_root mkdir -p "/tmp/rig-$kind-$1"
    check "$kind: status() is $1" in_root env TAV_RIG_WORK="/tmp/rig-$kind-$1" TAV_RIG_TRUST_ANCHORS=/tmp/ca.der \
      timeout 180 /usr/local/bin/node /src/tests/browser/host_found.mjs "$kind" "$1"
  done
}
manifests=(/etc/chromium/native-messaging-hosts /etc/opt/chrome/native-messaging-hosts
  /etc/opt/edge/native-messaging-hosts /usr/lib/mozilla/native-messaging-hosts)

echo "=== install: apt-get install ./tavori.deb (its dependencies from the archive)"
in_root apt-get update -qq
in_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq /tmp/tavori.deb >"$work/install.log" 2>&1 ||
  { cat "$work/install.log"; exit 1; }
check "dpkg says installed" bash -c "chroot '$root' dpkg-query -W -f='\${Status}' tavori | grep -qx 'install ok installed'"
for folder in "${manifests[@]}"; do
  check "$folder names /usr/lib/tavori/TAV_Wrapper" \
    grep -q '"path": "/usr/lib/tavori/TAV_Wrapper"' "$root$folder/com.vandrel.kelvarist.tavori.json"
done
# The installed wrapper answers a frame above 1 MiB from its length alone.
answer="$(printf '\x01\x00\x10\x00' | in_root /usr/lib/tavori/TAV_Wrapper | tail -c +5)"
check "the installed wrapper runs: $answer" test "$answer" = '{"mode":"01","result":"1","errcode":"EW042-1200"}'
check "TAV's libraries are all there" bash -c "! chroot '$root' ldd /usr/lib/tavori/TAV | grep -q 'not found'"
browsers_see ready

echo "=== uninstall: apt-get purge tavori"
in_root env DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq tavori >>"$work/install.log" 2>&1 ||
  { cat "$work/install.log"; exit 1; }
check "dpkg knows it no more" bash -c "! chroot '$root' dpkg-query -W tavori 2>/dev/null"
check "/usr/lib/tavori is gone" test ! -e "$root/usr/lib/tavori"
for folder in "${manifests[@]}"; do
  check "$folder has no manifest of it" test ! -e "$root$folder/com.vandrel.kelvarist.tavori.json"
done
browsers_see host-missing

echo "deb_flow: $passes passed, $failures failed"
exit $((failures == 0 ? 0 : 1))
