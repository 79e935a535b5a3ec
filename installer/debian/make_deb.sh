#!/usr/bin/env bash
# Builds the Debian package of Tavori for Linux desktops from the two built
# programs and the configured host manifests:
#   /usr/lib/tavori/TAV_Wrapper, /usr/lib/tavori/TAV (stripped)
#   the host manifest in the system-wide folders of Chromium, Chrome, Edge and
#   Firefox (conffiles, as everything under /etc)
#   /usr/share/doc/tavori: copyright, changelog.gz, README.Debian (per-user install)
#   the lintian override for /etc/opt, where Chrome and Edge look
# Every time in the package is SOURCE_DATE_EPOCH.
# Usage: make_deb.sh <version> <epoch> <TAV_Wrapper> <TAV> <manifest-dir> <out.deb>
set -euo pipefail

version="$1"
epoch="$2"
wrapper="$3"
tav="$4"
manifests="$5"
out="$6"
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
host_name="com.vandrel.kelvarist.tavori"

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
root="$work/root"
install -d "$root/DEBIAN" "$root/usr/lib/tavori" "$root/usr/share/doc/tavori" "$root/usr/share/lintian/overrides"
install -m 0755 "$wrapper" "$root/usr/lib/tavori/TAV_Wrapper"
install -m 0755 "$tav" "$root/usr/lib/tavori/TAV"
strip --strip-unneeded --remove-section=.comment --remove-section=.note "$root/usr/lib/tavori/"*

# Chromium, Chrome and Edge take the Chromium form (allowed_origins), Firefox its own.
declare -A folders=(
  [chrome]="etc/chromium/native-messaging-hosts etc/opt/chrome/native-messaging-hosts"
  [edge]="etc/opt/edge/native-messaging-hosts"
  [firefox]="usr/lib/mozilla/native-messaging-hosts"
)
for browser in chrome edge firefox; do
  grep -q '%VERSION%' "$manifests/host_manifest_$browser.json" ||
    { echo "make_deb: host_manifest_$browser.json has no %VERSION%" >&2; exit 1; }
  for folder in ${folders[$browser]}; do
    install -d "$root/$folder"
    sed "s/%VERSION%/$version/g" "$manifests/host_manifest_$browser.json" >"$root/$folder/$host_name.json"
    chmod 0644 "$root/$folder/$host_name.json"
  done
done

date_line="$(LC_ALL=C date -u -R -d "@$epoch")"
maintainer="Tavori <packages@tavori.example>"
printf 'tavori (%s) unstable; urgency=medium\n\n  * Tavori %s for Linux desktops.\n\n -- %s  %s\n' \
  "$version" "$version" "$maintainer" "$date_line" | gzip -9n >"$root/usr/share/doc/tavori/changelog.gz"
install -m 0644 "$here/copyright" "$here/README.Debian" "$root/usr/share/doc/tavori/"
install -m 0644 "$here/lintian-overrides" "$root/usr/share/lintian/overrides/tavori"

# The libraries the programs link, as dpkg-shlibdeps finds them.
mkdir -p "$work/shlibs/debian"
printf 'Source: tavori\n\nPackage: tavori\nArchitecture: any\n' >"$work/shlibs/debian/control"
shlibs="$(cd "$work/shlibs" && dpkg-shlibdeps -O "$root/usr/lib/tavori/TAV_Wrapper" "$root/usr/lib/tavori/TAV" |
  sed -n 's/^shlibs:Depends=//p')"
[ -n "$shlibs" ] || { echo "make_deb: dpkg-shlibdeps found no libraries" >&2; exit 1; }

(cd "$root" && find etc -type f -printf '/%p\n' | LC_ALL=C sort) >"$root/DEBIAN/conffiles"
chmod 0644 "$root/DEBIAN/conffiles"
cat >"$root/DEBIAN/control" <<CONTROL
Package: tavori
Version: $version
Architecture: $(dpkg --print-architecture)
Maintainer: $maintainer
Installed-Size: $(du -sk --exclude=DEBIAN "$root" | cut -f1)
Depends: $shlibs, pcscd, fonts-noto-cjk | fonts-ipafont-gothic
Section: utils
Priority: optional
Homepage: https://www.tavori.example
Description: My Number card and signing credentials for web pages
 Tavori lets a web page use the Japanese My Number IC card, GPKI IC cards
 and PKCS#12 certificate files: the page sends one request through the
 Tavori browser extension, Tavori guides the user through Japanese dialogs,
 talks to the card in the card reader through pcsc-lite and answers the page.
 .
 This package installs the browsers' native-messaging host for Chromium,
 Google Chrome, Microsoft Edge and Firefox, system-wide.
CONTROL
chmod 0644 "$root/DEBIAN/control"
(cd "$root" && find usr -type f -printf '%p\n' | LC_ALL=C sort | xargs md5sum) >"$root/DEBIAN/md5sums"
chmod 0644 "$root/DEBIAN/md5sums"

find "$root" -type d -exec chmod 0755 {} +
find "$root" -exec touch -h -d "@$epoch" {} +
mkdir -p "$(dirname "$out")"
SOURCE_DATE_EPOCH="$epoch" dpkg-deb --root-owner-group -Zxz --build "$root" "$out" >/dev/null
echo "make_deb: $out"
