#!/usr/bin/env bash
# Makes the release artefacts from the built programs: TAV_Wrapper.exe and
# TAV.exe, the per-user MSI Tavori.msi and the per-machine MSI
# Tavori-PerMachine.msi (both holding those programs), and SHA256SUMS.
# Run by the build (target tavori_release); the installer test also runs it to
# make an MSI of a later version.
#
# Every byte follows from the inputs: the MSIs' product codes from the version,
# their package codes from their contents, every time from SOURCE_DATE_EPOCH.
#
# Signing (Authenticode, SHA-256) with osslsigncode when TAV_SIGN_PKCS12 names
# a PKCS#12 file: its password comes from the environment variable
# TAV_SIGN_PASSWORD and reaches osslsigncode through a pipe, never on a command
# line; TAV_SIGN_TIMESTAMP_URL, when set, names an RFC 3161 timestamp server.
# The programs are signed before they go into the MSIs, then the MSIs.
#
# Usage: make_release.sh <version> <x86|x64> <epoch> <config-dir> <TAV_Wrapper.exe> <TAV.exe> <work-dir> <out-dir>
#   config-dir holds tavori_user.wxs, tavori_machine.wxs and host_manifest_{chrome,edge,firefox}.json.
set -euo pipefail

if [ "$#" -ne 8 ]; then
  sed -n 's/^# Usage: //p' "$0" >&2
  exit 2
fi
version="$1" arch="$2" epoch="$3" config_dir="$4" wrapper="$5" tav="$6" work="$7" out="$8"
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
[[ "$version" =~ ^[0-9]{1,3}\.[0-9]{1,3}\.[0-9]{1,5}(\.[0-9]{1,5})?$ ]] ||
  { echo "make_release: '$version' is not an MSI version" >&2; exit 2; }
[[ "$arch" =~ ^(x86|x64)$ ]] || { echo "make_release: architecture '$arch' is neither x86 nor x64" >&2; exit 2; }
[[ "$epoch" =~ ^[0-9]+$ ]] || { echo "make_release: time '$epoch' is not seconds" >&2; exit 2; }

# A GUID from a text: SHA-1 name-based (RFC 4122 version 5 layout).
guid_of() {
  local hash
  hash="$(printf '%s' "$1" | sha1sum | tr 'a-f' 'A-F')"
  local variant=$(((16#${hash:16:1} & 3) | 8))
  printf '{%s-%s-5%s-%X%s-%s}' "${hash:0:8}" "${hash:8:4}" "${hash:13:3}" "$variant" "${hash:17:3}" "${hash:20:12}"
}

signing=""
if [ -n "${TAV_SIGN_PKCS12:-}" ]; then
  [ -f "$TAV_SIGN_PKCS12" ] || { echo "make_release: TAV_SIGN_PKCS12: no file $TAV_SIGN_PKCS12" >&2; exit 1; }
  [ -n "${TAV_SIGN_PASSWORD+set}" ] ||
    { echo "make_release: TAV_SIGN_PKCS12 is set, TAV_SIGN_PASSWORD is not (set it, empty for a key without one)" >&2
      exit 1; }
  command -v osslsigncode >/dev/null || { echo "make_release: osslsigncode is not installed" >&2; exit 1; }
  signing=yes
fi

# sign <file>: signs in place.
sign() {
  local options=()
  # A key without a password is read without one (osslsigncode 2.5 cannot read
  # an empty password).
  [ -n "$TAV_SIGN_PASSWORD" ] && options+=(-readpass /dev/stdin)
  # Without a timestamp server the signature carries the source time as its
  # signing time, so that it stays the same bytes for the same key and inputs.
  if [ -n "${TAV_SIGN_TIMESTAMP_URL:-}" ]; then
    options+=(-ts "$TAV_SIGN_TIMESTAMP_URL")
  else
    options+=(-time "$epoch")
  fi
  printf '%s' "$TAV_SIGN_PASSWORD" |
    osslsigncode sign -pkcs12 "$TAV_SIGN_PKCS12" "${options[@]}" -h sha256 -n "Tavori" \
      -in "$1" -out "$1.signed" >"$1.log" 2>&1 ||
    { cat "$1.log" >&2; rm -f "$1.signed"; echo "make_release: signing $(basename "$1") failed" >&2; return 1; }
  mv "$1.signed" "$1"
  rm -f "$1.log"
}

rm -rf "$work"
mkdir -p "$work" "$out"
cp "$wrapper" "$work/TAV_Wrapper.exe"
cp "$tav" "$work/TAV.exe"
# The manifests name the version they were installed with.
for browser in chrome edge firefox; do
  grep -q '%VERSION%' "$config_dir/host_manifest_$browser.json" ||
    { echo "make_release: host_manifest_$browser.json has no %VERSION%" >&2; exit 1; }
  sed "s/%VERSION%/$version/g" "$config_dir/host_manifest_$browser.json" >"$work/host_manifest_$browser.json"
done
if [ -n "$signing" ]; then
  sign "$work/TAV_Wrapper.exe"
  sign "$work/TAV.exe"
fi
# The cabinet inside the MSI records each file's modification time.
touch -d "@$epoch" "$work"/*

msis=()
for scope in user machine; do
  msi="Tavori.msi"
  [ "$scope" = machine ] && msi="Tavori-PerMachine.msi"
  wxs="$config_dir/tavori_$scope.wxs"
  upgrade_code="$(sed -n 's/.*UpgradeCode="\([^"]*\)".*/\1/p' "$wxs")"
  [ -n "$upgrade_code" ] || { echo "make_release: $wxs names no UpgradeCode" >&2; exit 1; }
  product_code="$(guid_of "$upgrade_code/$version")"
  (cd "$work" && wixl -a "$arch" -D "Version=$version" -D "ProductCode=$product_code" -o "$msi" "$wxs")
  package_code="$(guid_of "$(cd "$work" && cat TAV_Wrapper.exe TAV.exe host_manifest_*.json "$wxs" | sha256sum)/$arch/$version")"
  "$here/msi_summary.pl" "$work/$msi" "$package_code" "$epoch"
  [ -n "$signing" ] && sign "$work/$msi"
  msis+=("$msi")
done

for artefact in TAV_Wrapper.exe TAV.exe "${msis[@]}"; do
  cp "$work/$artefact" "$out/$artefact"
done
(cd "$out" && sha256sum TAV_Wrapper.exe TAV.exe "${msis[@]}" >SHA256SUMS)

if [ -n "$signing" ]; then
  echo "make_release: signed artefacts in $out (Authenticode SHA-256${TAV_SIGN_TIMESTAMP_URL:+, timestamp from $TAV_SIGN_TIMESTAMP_URL})"
else
  echo "make_release: UNSIGNED artefacts in $out: no signing key given (set TAV_SIGN_PKCS12 and TAV_SIGN_PASSWORD to sign)"
fi
