#!/usr/bin/env bash
# TAV.exe's real CryptoAPI signing path under wine64: a test provider DLL
# (tav_test_csp.dll) is registered in the prefix under the card vendors'
# provider names and types, holding an OpenSSL-made key and certificate; modes
# "02" and "07" with every "ca" code the intake accepts must answer byte for
# byte what OpenSSL computes, and the signatures must verify with OpenSSL.
# Needs a display and the caller's WINEPREFIX (run_wine_tests.sh gives both).
# Usage: tests/e2e/provider_flow.sh <build-dir>
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
# shellcheck source=tests/e2e/e2e_rig.sh
source "$here/e2e_rig.sh"
rig_start csp "$1"

cp "$build_dir/host/app/TAV.exe" "$build_dir/tests/e2e/winscard.dll" "$work/"
cp "$build_dir/tests/e2e/tav_test_csp.dll" "$WINEPREFIX/drive_c/windows/system32/"
cred="$work/cred"
"$here/../credentials/make_test_credentials.sh" "$cred" >/dev/null

# The key as a BCrypt RSA private key blob: header (magic "RSA2", bit length,
# sizes of exponent, modulus and primes, each 32-bit little-endian), then the
# exponent, modulus and primes big-endian.
field() {  # the hexadecimal digits of one field of `openssl rsa -text`
  openssl rsa -in "$cred/key.pem" -noout -text 2>/dev/null |
    awk -v f="$1:" '$1 == f { on = 1; next } on && /^ / { gsub(/[ :]/, ""); printf "%s", $0; next } { on = 0 }' |
    sed 's/^\(00\)*//'
}
le32() { printf '%08x' "$1" | sed 's/\(..\)\(..\)\(..\)\(..\)/\4\3\2\1/'; }
hex_to_file() { printf '%b' "$(sed 's/../\\x&/g')" >"$1"; }
modulus="$(field modulus)" prime1="$(field prime1)" prime2="$(field prime2)" exponent=010001
printf '%s' "52534132$(le32 2048)$(le32 3)$(le32 $((${#modulus} / 2)))$(le32 $((${#prime1} / 2)))$(le32 $((${#prime2} / 2)))$exponent$modulus$prime1$prime2" |
  hex_to_file "$work/key.blob"

# A fixed installation identifier, so that the whole answer is known.
uuid=0123456789ABCDEF0123456789ABCDEF
"$WINE" reg add 'HKCU\Software\TAV' /v UUID /t REG_SZ /d "$uuid" /f >/dev/null 2>&1

provider_key='HKLM\SOFTWARE\Microsoft\Cryptography\Defaults\Provider'
register() {  # name type
  "$WINE" reg add "$provider_key\\$1" /v Type /t REG_DWORD /d "$2" /f >/dev/null 2>&1
  "$WINE" reg add "$provider_key\\$1" /v "Image Path" /t REG_SZ /d tav_test_csp.dll /f >/dev/null 2>&1
}
unregister() { "$WINE" reg delete "$provider_key\\$1" /f >/dev/null 2>&1 || true; }
melco="Melco Standard-9 Enhanced Cryptographic Service Provider"
dnp="DNP Standard-9 Cryptographic Service Provider"
base="Microsoft Base Smart Card Crypto Provider"
register "$melco" 24
register "JPKI Crypto Service Provider" 1
register "TOSHIBA TARGUSYS CSP v2.0" 1
register "NEC Secure Ware AES Cryptographic Provider" 24
register "$dnp" 1
register "$base" 1

# The two DigestInfos signed in every case, and the SHA-256 values at their ends.
digest_one="MDEwDQYJYIZIAWUDBAIBBQAEIHaSw601QLuAPAILOu5mzYiHEjI06gxucUPArdc/9DHt"
digest_two="MDEwDQYJYIZIAWUDBAIBBQAEID/EzP50WHDiwNmfcfMP8GVsje3UHMHX09N2sNvmheLz"
expected_signature() {  # base64 digest -> base64 signature by OpenSSL
  printf '%s' "$1" | base64 -d | tail -c 32 >"$work/hash"
  openssl pkeyutl -sign -inkey "$cred/key.pem" -pkeyopt digest:sha256 -in "$work/hash" | base64 -w0
}
signature_one="$(expected_signature "$digest_one")"
signature_two="$(expected_signature "$digest_two")"

failed=0
# check <name> <mode> <ca> <credential> <expected errcode or ""> [driver step]...
check() {
  local name="$1" mode="$2" ca="$3" credential="$4" code="$5" status=0
  shift 5
  mkdir -p "$work/token"
  cp "$work/key.blob" "$work/token/key.blob"
  cp "$cred/$credential.der" "$work/token/cert.der"
  tav_frame '{"mode":"'"$mode"'","latest_version":"1","available_version":"1","ca":"'"$ca"'","digest":["'"$digest_one"'","'"$digest_two"'"]}' \
    >"$work/request"
  if [ -n "$code" ]; then
    tav_answer_frame $'{\r\n  "mode":"'"$mode"$'",\r\n  "result":"1",\r\n  "errcode":"'"$code"$'"\r\n}' >"$work/expected"
  else
    tav_answer_frame $'{\r\n  "mode":"'"$mode"$'",\r\n  "result":"0",\r\n  "uuid":"'"$uuid"$'",\r\n  "signature":["'"$signature_one"'","'"$signature_two"$'"],\r\n  "certificate":"'"$(base64 -w0 "$cred/$credential.der")"$'"\r\n}' \
      >"$work/expected"
  fi
  TAV_TEST_CSP_DIR="$(windows_path "$work/token")" drive_tav "$work/request" "$work/answer" "$@" \
    2>"$work/driver.log" || status=$?
  if [ "$status" -ne 0 ]; then
    echo "FAILED $name: driver exit code $status" >&2
    sed 's/^/  /' "$work/answer.log" >&2 2>/dev/null || true
    failed=1
  elif ! cmp -s "$work/answer" "$work/expected"; then
    echo "FAILED $name: answer differs" >&2
    echo "  expected: $(tav_answer_decode "$work/expected" 2>&1 | head -c 400)" >&2
    echo "  received: $(tav_answer_decode "$work/answer" 2>&1 | head -c 400)" >&2
    failed=1
  elif [ -z "$code" ] && ! verify_answer "$credential"; then
    echo "FAILED $name: a signature does not verify with OpenSSL" >&2
    failed=1
  else
    echo "ok   $name"
  fi
}

# Each signature of the answer verifies with the answer's certificate.
verify_answer() {
  local json digest signature index=0
  json="$(tav_answer_decode "$work/answer")"
  printf '%s' "$json" | sed -n 's/.*"certificate":"\([^"]*\)".*/\1/p' | base64 -d >"$work/answer_cert.der"
  openssl x509 -inform DER -in "$work/answer_cert.der" -out "$work/answer_cert.pem"
  for digest in "$digest_one" "$digest_two"; do
    index=$((index + 1))
    signature="$(printf '%s' "$json" | tr -d '\r\n' | sed 's/.*"signature":\[\([^]]*\)\].*/\1/' | cut -d, -f"$index" | tr -d '"')"
    printf '%s' "$signature" | base64 -d >"$work/signature"
    printf '%s' "$digest" | base64 -d | tail -c 32 >"$work/hash"
    openssl pkeyutl -verify -certin -inkey "$work/answer_cert.pem" -pkeyopt digest:sha256 -in "$work/hash" \
      -sigfile "$work/signature" >/dev/null || return 1
  done
}

confirm=(screen=CertificateConfirmScreen click=1)
# Errors show the error screen with their code; its OK writes the answer.
closing_error=(screen=ErrorScreen text=1039:CODE click=1)
for row in 004:tdb 007:houjin 009:eprobatio-ps2 010:eprobatio-psa 011:diacertplus 012:diacert; do
  ca="${row%%:*}" credential="${row#*:}"
  check "mode 02, ca $ca" 02 "$ca" "$credential" ""
  check "mode 07, ca $ca, confirmed" 07 "$ca" "$credential" "" "${confirm[@]}"
done

# A container with only the exchange key signs with it.
TAV_TEST_CSP_KEYS=1 check "exchange key only, ca 004" 02 004 tdb ""
TAV_TEST_CSP_KEYS=0 check "no user key, ca 004" 02 004 tdb EW244-3204 "${closing_error[@]/CODE/EW244-3204}"
# "009" falls back to the Microsoft base smart-card provider; "011" has none.
unregister "$dnp"
check "ca 009 without its vendor's provider: the second attempt" 02 009 eprobatio-ps2 ""
unregister "$base"
check "ca 009 with neither provider" 02 009 eprobatio-ps2 EW244-3203 "${closing_error[@]/CODE/EW244-3203}"
unregister "$melco"
check "ca 011 without its provider" 02 011 diacertplus EW244-3203 "${closing_error[@]/CODE/EW244-3203}"
register "$melco" 24
# A certificate from another issuer is refused after it is read.
check "ca 004 with an AOSign certificate" 02 004 aosign EW244-3500 "${closing_error[@]/CODE/EW244-3500}"

# Types that no request carries, through the same providers: "002" (LGPKI)
# with its vendor's provider and by the second attempt, and a type outside the
# table, which asks for no provider at all.
probe() {  # name type credential expected-output
  local output
  mkdir -p "$work/token"
  cp "$work/key.blob" "$work/token/key.blob"
  cp "$cred/$3.der" "$work/token/cert.der"
  output="$(TAV_TEST_CSP_DIR="$(windows_path "$work/token")" "$WINE" "$build_dir/tests/e2e/provider_probe.exe" "$2" \
    2>/dev/null | tr -d '\r')"
  if [ "$output" = "$4" ]; then
    echo "ok   $1"
  else
    echo "FAILED $1: $output (expected $4)" >&2
    failed=1
  fi
}
probe "ca 002 with its vendor's provider" 002 lgpki "result=0 code= signatures=1"
unregister "$melco"
register "$base" 1
probe "ca 002 by the second attempt" 002 lgpki "result=0 code= signatures=1"
unregister "$base"
probe "ca 002 with neither provider" 002 lgpki "result=1 code=EW244-3203 signatures=0"
probe "a type outside the table" 005 aosign "result=1 code=EW244-3203 signatures=0"
register "$melco" 24

# PKCS#12 files through the real file and PKCS#12 calls, as far as wine 8
# carries them: it reads the file and recognises a PKCS#12 blob, but its
# PFXVerifyPassword answers FALSE for every password and PFXImportCertStore
# refuses the CNG flags, so no file gets past the password check here. The
# import, key choice and CNG signing run natively (file_certificate tests).
# check_file <name> <path> <password> <expected errcode>: a path from one / is
# given as its Z: path, any other as it is.
check_file() {
  local name="$1" path="$2" password="$3" code="$4" status=0 json_path
  if [ "${path:0:1}" = / ] && [ "${path:1:1}" != / ]; then path="$(windows_path "$path")"; fi
  json_path="$(printf '%s' "$path" | sed 's/\\/\\\\/g')"
  tav_frame '{"mode":"02","latest_version":"1","available_version":"1","file_path":"'"$json_path"'","file_password":"'"$password"'","digest":["'"$digest_one"'"]}' \
    >"$work/request"
  tav_answer_frame $'{\r\n  "mode":"02",\r\n  "result":"1",\r\n  "errcode":"'"$code"$'"\r\n}' >"$work/expected"
  drive_tav "$work/request" "$work/answer" screen=ErrorScreen "text=1039:$code" click=1 2>"$work/driver.log" ||
    status=$?
  if [ "$status" -ne 0 ]; then
    echo "FAILED $name: driver exit code $status" >&2
    sed 's/^/  /' "$work/answer.log" >&2 2>/dev/null || true
    failed=1
  elif ! cmp -s "$work/answer" "$work/expected"; then
    echo "FAILED $name: answer differs" >&2
    echo "  received: $(tav_answer_decode "$work/answer" 2>&1 | head -c 400)" >&2
    failed=1
  else
    echo "ok   $name"
  fi
}
long="$cred/long/$(printf 'd%.0s' $(seq 1 120))/$(printf 'e%.0s' $(seq 1 120))/$(printf 'f%.0s' $(seq 1 60)).p12"
check_file "file: not PKCS#12" "$cred/not-pkcs12.p12" test-pass EW240-3203
check_file "file: 0 bytes" "$cred/empty.p12" test-pass EW240-3203
check_file "file: missing" "$cred/missing.p12" test-pass EW240-3200
check_file "file: a folder" "$cred/long" test-pass EW240-3200
check_file "file: one byte over 1 MiB" "$cred/over-1mib.bin" test-pass EW240-3201
check_file "file: 50 MiB" "$cred/50mib.p12" test-pass EW240-3201
check_file "file: wrong password" "$cred/diacert.p12" wrong EW240-3204
# Wine's stub refuses even the right password: the file was found and read.
check_file "file: Japanese name, right password (wine: no password check)" "$cred/証明書ファイル.p12" test-pass EW240-3204
check_file "file: path over 300 characters (wine: no password check)" "$long" test-pass EW240-3204
check_file "file: AES-256 (wine: no password check)" "$cred/aes256.p12" test-pass EW240-3204
# Only a local drive path is opened: the same file through a device, network
# or relative path is refused unread (a read file would fail later, with
# EW240-3204 here), so that no host receives the user's credentials.
diacert="$(windows_path "$cred/diacert.p12")"
check_file "file: long form of a drive path (read)" "\\\\?\\$diacert" test-pass EW240-3204
check_file "file: device path" "\\\\.\\$diacert" test-pass EW240-3200
check_file "file: UNC path" '\\server\share\diacert.p12' test-pass EW240-3200
check_file "file: UNC path with slashes" '//server/share/diacert.p12' test-pass EW240-3200
check_file "file: long UNC path" '\\?\UNC\server\share\diacert.p12' test-pass EW240-3200
check_file "file: drive-relative path" "Z:${diacert:3}" test-pass EW240-3200

exit "$failed"
