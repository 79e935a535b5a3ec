#!/usr/bin/env bash
# Makes, with OpenSSL, the certificates and PKCS#12 files the certificate tests
# sign with: one per issuer kind (production and test issuer names), the
# corporate certificate with its three registration extensions, the G-ID kinds,
# GPKI and LGPKI, wrong-issuer variants, and PKCS#12 files of every shape the
# file certificate must handle. Usage: make_test_credentials.sh <output folder>
set -euo pipefail
out=${1:?output folder}
[ -f "$out/.complete" ] && exit 0
# Made in a folder of its own and renamed into place, so that test programs
# started side by side never see half of it.
mkdir -p "$(dirname "$out")"
work=$(mktemp -d "$out.XXXXXX")
cd "$work"

openssl genrsa -out key.pem 2048 2>/dev/null
openssl genrsa -out ca-key.pem 2048 2>/dev/null
openssl pkcs8 -topk8 -nocrypt -in key.pem -outform DER -out key.der
# A key of another size than the certificates' (for signatures of the wrong size).
openssl genrsa 1024 2>/dev/null | openssl pkcs8 -topk8 -nocrypt -outform DER -out key-1024.der

# issue <name> <issuer DN> <subject DN> [extension section]
# The certificate is signed by a CA certificate whose subject is the issuer DN.
issue() {
  local name=$1 issuer=$2 subject=$3 section=${4:-}
  openssl req -new -x509 -key ca-key.pem -subj "$issuer" -utf8 -days 3650 -set_serial 1 -out "ca-$name.pem" \
    -config ext.cnf -extensions ca_ext 2>/dev/null
  openssl req -new -key key.pem -subj "$subject" -utf8 -out "$name.csr" -config ext.cnf 2>/dev/null
  local extension_args=()
  [ -n "$section" ] && extension_args=(-extfile ext.cnf -extensions "$section")
  openssl x509 -req -in "$name.csr" -CA "ca-$name.pem" -CAkey ca-key.pem -set_serial 0x0123456789 \
    -days 3650 -sha256 -out "$name.pem" "${extension_args[@]}" 2>/dev/null
  openssl x509 -in "$name.pem" -outform DER -out "$name.der"
  openssl pkcs12 -export -in "$name.pem" -inkey key.pem -passout pass:test-pass -out "$name.p12"
  rm -f "$name.csr"
}

cat > ext.cnf <<'CNF'
[req]
distinguished_name = dn
string_mask = utf8only
[dn]
[ca_ext]
basicConstraints = critical,CA:true
[san_aosign]
subjectAltName = dirName:san_aosign_dn
[san_aosign_dn]
ST = Tokyo
L = Chiyoda
O = Sample Corporation
CN = Taro Sample
[san_gpki]
subjectAltName = dirName:san_gpki_dn
[san_gpki_dn]
O = Ministry Sample
CN = Official Holder
[san_lgpki]
subjectAltName = dirName:san_lgpki_dn
[san_lgpki_dn]
O = Sample City
0.OU = Section One
1.OU = Section Two
CN = Municipal Holder
[san_gid_other]
subjectAltName = dirName:san_gid_other_dn
[san_gid_other_dn]
C = US
O = GID Corp
[san_land]
subjectAltName = dirName:san_land_dn
[san_land_dn]
O = Land Office
CN = Land Investigator Name
[houjin]
1.2.392.100300.1.1.1 = ASN1:SEQUENCE:policy_outer
1.2.392.100300.1.1.2 = ASN1:FORMAT:UTF8,UTF8String:東京法務局
1.2.392.100300.1.1.3 = ASN1:SEQUENCE:corporation
[policy_outer]
inner = SEQUENCE:policy_inner
[policy_inner]
oid = OID:1.2.392.100300.1.2.1
info = SEQUENCE:policy_info
[policy_info]
item = SEQUENCE:policy_item
[policy_item]
oid = OID:1.3.6.1.5.5.7.2.2
notice = SEQUENCE:policy_notice
[policy_notice]
text = SEQUENCE:policy_text
[policy_text]
text = FORMAT:UTF8,UTF8String:商業登記認証局の証明書ポリシー
[corporation]
name = EXPLICIT:0,FORMAT:UTF8,UTF8String:株式会社サンプル
number = EXPLICIT:1,PRINTABLESTRING:0100-01-123456
address = EXPLICIT:2,FORMAT:UTF8,UTF8String:東京都千代田区霞が関一丁目1番1号
representative = EXPLICIT:3,FORMAT:UTF8,UTF8String:見本太郎
title = EXPLICIT:4,FORMAT:UTF8,UTF8String:代表取締役
CNF

# GeneralNames with one directoryName of the given type=value attributes, in
# UTF-8 (OpenSSL's dirName sections take ASCII only), as DER in hexadecimal.
san_der() {
  local i=0
  {
    echo "asn1 = SEQUENCE:gns"
    echo "[gns]"
    echo "dir = EXPLICIT:4C,SEQUENCE:name"
    echo "[name]"
    for pair in "$@"; do i=$((i + 1)); echo "r$i = SET:s$i"; done
    i=0
    for pair in "$@"; do
      i=$((i + 1))
      printf '[s%d]\na = SEQUENCE:a%d\n[a%d]\nt = OID:%s\nv = FORMAT:UTF8,UTF8String:%s\n' "$i" "$i" "$i" "${pair%%=*}" "${pair#*=}"
    done
  } > san.gen
  openssl asn1parse -genconf san.gen -out san.der -noout
  od -An -tx1 -v san.der | tr -d ' \n'
}
cat >> ext.cnf <<CNF
[san_diacert]
2.5.29.17 = DER:$(san_der 2.5.4.8=Osaka 2.5.4.10='Diacert Holder' 2.5.4.3='Hanako Holder' 2.5.4.11='代理権内容：ETAX e-Tax proxy')
2.5.29.18 = DER:$(san_der 2.5.4.10='Issuer Alt Org' 2.5.4.11='Issuer Alt Unit')
[san_eprobatio]
2.5.29.17 = DER:$(san_der 2.5.4.8=Kanagawa 2.5.4.7=Yokohama 2.5.4.10='Probatio Holder Co' 2.5.4.3='Jiro Holder' 2.5.4.13='組織代表者名：Representative Name')
[san_gid_jp]
2.5.29.17 = DER:$(san_der 2.5.4.6=JP 2.5.4.10='GID Corp' 2.5.4.11='代理権内容：LTAX eLTAX proxy')
CNF

holder="/C=JP/ST=Tokyo/L=Chiyoda/O=Holder Org/OU=Holder Unit/OU=Second Unit/CN=Holder Name"
issue aosign "/C=JP/O=Nippon Denshi Ninsho Co.Ltd./OU=AOSign G2 Certification Authority" "/C=JP/ST=Tokyo/L=Chiyoda/CN=Taro Sample" san_aosign
issue aosign-test "/C=JP/O=Nippon Denshi Ninsho Co.Ltd./OU=TestAOSign G2 Certification Authority" "/C=JP/ST=Tokyo/L=Chiyoda/CN=Taro Sample"
issue diacert "/C=JP/O=DIACERT CA/OU=DIACERT Service" "$holder" san_diacert
issue diacert-test "/C=JP/O=DIACERT TEST CA/OU=DIACERT Service" "$holder" san_diacert
issue diacertplus "/C=JP/O=DIACERT-PLUS CA/OU=DIACERT-PLUS Service" "$holder" san_diacert
issue diacertplus-test "/C=JP/O=DIACERT-PLUS TEST CA/OU=DIACERT-PLUS Service" "$holder" san_diacert
issue eprobatio-ps2 "/C=JP/O=e-Probatio CA/OU=e-Probatio PS2" "/C=JP/ST=Kanagawa/L=Yokohama/CN=Jiro Holder" san_eprobatio
issue eprobatio-ps2-test "/C=JP/O=e-Probatio CA/OU=e-Probatio PS2 Test" "/C=JP/ST=Kanagawa/L=Yokohama/CN=Jiro Holder" san_eprobatio
issue eprobatio-psa "/C=JP/O=e-Probatio CA/OU=e-Probatio PSA" "/C=JP/O=PSA Org/title=Director/UID=123/CN=Saburo Holder/serialNumber=S-1" 
issue eprobatio-psa-test "/C=JP/O=e-Probatio CA/OU=e-Probatio PSA Test" "/C=JP/O=PSA Org/title=Director/UID=123/CN=Saburo Holder/serialNumber=S-1"
issue tdb "/C=JP/O=TEIKOKU DATABANK,LTD./OU=TDB CA TypeA" "$holder" san_eprobatio
issue tdb-test "/C=JP/O=TEIKOKU DATABANK,LTD./OU=TDB CA TypeA PILOT 02" "$holder" san_eprobatio
issue toinx "/C=JP/O=Tohoku Information Systems Co.,Inc./OU=TOiNX CA for Electronic Bidding Systems" "/C=JP/ST=Miyagi/CN=Toinx Holder/UID=42" san_aosign
issue toinx-test "/C=JP/O=Tohoku Information Systems Co.,Inc./OU=TOiNX Test CA for EBS" "/C=JP/ST=Miyagi/CN=Toinx Holder/UID=42" san_aosign
issue houjin "/C=JP/O=Corvane Authority/OU=Ministry of Justice/CN=Registry CA" "/C=JP/O=株式会社サンプル/CN=見本太郎" houjin
issue gpki "/C=JP/O=Corvane Authority/OU=OfficialStatusCA" "/C=JP/O=Corvane Authority/OU=Ministry Sample/CN=Official Holder" san_gpki
issue gpki-test "/C=JP/O=Corvane Authority/OU=TestOfficialStatusCA" "/C=JP/O=Corvane Authority/OU=Ministry Sample/CN=Official Holder" san_gpki
issue lgpki "/C=JP/O=LGPKI/OU=Any Unit" "/C=JP/O=LGPKI/L=Sample City/OU=Section One/CN=Municipal Holder" san_lgpki
issue lgpki-test "/C=JP/O=LGPKI2/OU=Another Unit" "/C=JP/O=LGPKI2/L=Sample City/OU=Section One/CN=Municipal Holder" san_lgpki
secom="/C=JP/O=SECOM Trust.net Co., Ltd./OU=SECOM Passport for G-ID"
issue gid-013 "$secom" "/C=JP/O=SECOM Trust.net Co., Ltd./OU=General Unit/OU=Second/CN=Gen Holder/serialNumber=G-13"
issue gid-014 "/C=JP/O=SECOM Trust.net Co., Ltd./OU=SHA256 TEST SECOM Passport for G-ID" "/C=JP/O=SECOM Trust.net Co., Ltd./OU=General Unit/OU=Second/ST=Tokyo/L=Minato/CN=Attr Holder/serialNumber=G-14" san_gid_jp
issue gid-014-not-jp "$secom" "/C=JP/O=SECOM Trust.net Co., Ltd./OU=General Unit/CN=Attr Holder" san_gid_other
issue gid-015 "$secom" "/C=JP/O=Japan Federation of Gyoseishoshi Lawyer's Associations/CN=Gyosei Holder/title=Scrivener/UID=15" san_diacert
issue gid-016 "$secom" "/C=JP/O=Japan Federation of Shiho-Shoshi Lawyer's Associations/CN=Shiho Holder/UID=16" san_land
issue gid-017 "$secom" "/C=JP/O=Attorney Office/description=Japan Federation of Labor and Social Security Attorney's Associations/CN=Social Holder/title=Attorney/UID=17" san_lgpki
issue gid-017-joined "$secom" "/C=JP/O=JapanFederationOfLaborAndSocialSecurityAttorney'sAssociations/CN=Social Holder/title=Attorney/UID=17"
issue gid-018 "$secom" "/C=JP/O=Japan Federation of Land-and-House Investigators Associations/CN=Land Holder/UID=18" san_land
issue gid-none "$secom" "/C=JP/O=Some Other Federation/CN=Nobody"
issue wrong-issuer "/C=JP/O=Nippon Denshi Ninsho Co.Ltd./OU=Other Authority" "/C=JP/CN=Wrong"
issue wrong-country "/C=US/O=DIACERT CA/OU=DIACERT Service" "$holder"

# PKCS#12 shapes.
openssl pkcs12 -export -in diacert.pem -inkey key.pem -passout pass:test-pass -legacy -out legacy.p12 2>/dev/null ||
  openssl pkcs12 -export -in diacert.pem -inkey key.pem -passout pass:test-pass \
    -keypbe PBE-SHA1-3DES -certpbe PBE-SHA1-RC2-40 -out legacy.p12
openssl pkcs12 -export -in diacert.pem -inkey key.pem -passout pass:test-pass \
  -keypbe AES-256-CBC -certpbe AES-256-CBC -macalg sha256 -out aes256.p12
openssl pkcs12 -export -in diacert.pem -inkey key.pem -passout pass: -out empty-password.p12
openssl pkcs12 -export -in diacert.pem -nokeys -passout pass:test-pass -out no-key.p12
openssl pkcs12 -export -in diacert.pem -inkey key.pem -certfile aosign.pem -passout pass:test-pass -out two-certs.p12
: > empty.p12
head -c 1048576 /dev/zero > exactly-1mib.bin
head -c 1048577 /dev/zero > over-1mib.bin
head -c 52428800 /dev/zero > 50mib.p12
cp diacert.p12 "証明書ファイル.p12"
# A path of over 300 characters (each name within the file system's limit).
long_dir=long/$(printf 'd%.0s' $(seq 1 120))/$(printf 'e%.0s' $(seq 1 120))
mkdir -p "$long_dir"
cp diacert.p12 "$long_dir/$(printf 'f%.0s' $(seq 1 60)).p12"
printf 'not a pkcs12 file\n' > not-pkcs12.p12
touch .complete
cd ..
if ! mv -T "$work" "$out" 2>/dev/null; then
  if [ -f "$out/.complete" ]; then
    rm -rf "$work"
  else
    rm -rf "$out"
    mv -T "$work" "$out"
  fi
fi
