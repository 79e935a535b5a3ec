#!/bin/sh
# Writes seed inputs for the X.509 fuzzers into $1/certificate and $1/extension:
# the OpenSSL-issued test certificate and each of its extension values.
# Needs xxd and the openssl command.
set -eu
out=${1:?usage: make_x509_seeds.sh OUTPUT_DIR}
here=$(dirname "$0")
mkdir -p "$out/certificate" "$out/extension"
grep '0x' "$here/../unit/x509/fixtures/openssl_certificate.inc" | xxd -r -p > "$out/certificate/openssl.der"
n=0
openssl asn1parse -inform DER -in "$out/certificate/openssl.der" |
  sed -n 's/.*prim: OCTET STRING *\[HEX DUMP\]://p' |
  while read -r hex; do
    n=$((n + 1))
    printf '%s' "$hex" | xxd -r -p > "$out/extension/value_$n.der"
  done
