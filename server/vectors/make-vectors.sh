#!/usr/bin/env bash
# Makes the verifier's test vectors (*.json beside this script) and the live
# revocation tests' responder material (pki/) from the virtual card.
# cardsim-daemon (built here) gives the card's keys and certificates under its
# test CA (O=JPKI-TEST), valid for a century. What the card's CA cannot give,
# OpenSSL makes under the same CA key: an expired, a revoked and a wrongly used
# user-authentication certificate, an OCSP responder certificate, the CRLs and
# the OCSP answers; and a foreign CA of the same name. make-vectors.mjs then
# signs the tokens with the card's keys and writes the vectors.
# Usage: server/vectors/make-vectors.sh   (needs cmake, g++, openssl, node)
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(cd "$here/../.." && pwd)"

(cd "$root" && cmake --preset linux >/dev/null && cmake --build --preset linux -j2 --target cardsim-daemon >/dev/null)
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cd "$work"
mkdir card keys

# The daemon listens on a free port that nobody calls (so it never joins a
# running pcscd), writes the card's certificates and keys, and quits.
port="$(node -e "const s = require('net').createServer().listen(0, '127.0.0.1', () => { console.log(s.address().port); s.close(); })")"
echo quit | "$root/build/linux/tools/cardsim/daemon/cardsim-daemon" --listen --port "$port" \
  --key-dir keys --export-dir card --card mynumber --test-issuer --valid-days 36500 >/dev/null
der_to_pem() { openssl x509 -inform DER -in "$1" -out "$2"; }
der_to_pem card/reader0-auth-ca.der auth-ca.pem
der_to_pem card/reader0-auth.der card-auth.pem
cp keys/cardsim-key-0.pem card-auth.key   # the card's user-authentication key
cp keys/cardsim-key-2.pem auth-ca.key      # its CA's key

cat > ca.cnf <<'CNF'
[ca]
default_ca = test_ca
[test_ca]
database = index.txt
serial = serial
crlnumber = crlnumber
new_certs_dir = .
default_md = sha256
unique_subject = no
policy = any
[any]
[req]
distinguished_name = dn
string_mask = utf8only
[dn]
[ca_ext]
basicConstraints = critical,CA:TRUE
keyUsage = critical,keyCertSign,cRLSign
subjectKeyIdentifier = hash
[crl_partition]
issuingDistributionPoint = critical,@partition
[partition]
fullname = URI:http://crl.tavori.test/jpki-auth.crl
[crl_other_partition]
issuingDistributionPoint = critical,@other_partition
[other_partition]
fullname = URI:http://crl.tavori.test/jpki-auth-2.crl
[crl_ca_only]
issuingDistributionPoint = critical,@ca_only
[ca_only]
onlyCA = TRUE
[ocsp_responder]
basicConstraints = CA:FALSE
keyUsage = critical,digitalSignature
extendedKeyUsage = OCSPSigning
CNF
# login_section <name> <extended key usage> [line]: the card's user-authentication
# certificate extensions, with another purpose or one more line.
login_section() {
  printf '[%s]\nbasicConstraints = CA:FALSE\nsubjectKeyIdentifier = hash\nauthorityKeyIdentifier = keyid:always\n' "$1"
  printf 'keyUsage = critical,digitalSignature\nextendedKeyUsage = %s\n' "$2"
  printf 'certificatePolicies = 1.2.392.200149.8.5.1.3.30\n%s\n' "${3:-}"
}
{
  login_section login clientAuth
  login_section login_with_crl clientAuth 'crlDistributionPoints = URI:http://crl.tavori.test/jpki-auth.crl'
  login_section login_for_email emailProtection
} >> ca.cnf
: > index.txt
echo 1001 > serial
echo 01 > crlnumber
subject="/C=JP/CN=01234567890123456789ABC"
openssl req -new -key card-auth.key -subj "$subject" -config ca.cnf -out card-auth.csr
# issue <name> <extension section> <openssl ca date options...>
issue() {
  local name=$1 section=$2
  shift 2
  openssl ca -batch -config ca.cnf -cert auth-ca.pem -keyfile auth-ca.key -in "${csr:-card-auth.csr}" \
    -preserveDN -notext -extensions "$section" -out "$name.pem" "$@" 2>/dev/null
}
issue expired login -startdate 20200101000000Z -enddate 20210101000000Z
issue revoked login_with_crl -days 36500
issue wrong-usage login_for_email -days 36500
openssl genrsa -out ocsp-responder.key 2048 2>/dev/null
openssl req -new -key ocsp-responder.key -subj "/C=JP/O=JPKI-TEST/CN=OCSP responder" -config ca.cnf -out responder.csr
csr=responder.csr issue ocsp-responder ocsp_responder -days 36500

# answer <name> <certificate> <signer certificate> <signer key>
answer() {
  openssl ocsp -issuer auth-ca.pem -cert "$2" -no_nonce -reqout "$1.req"
  openssl ocsp -index index.txt -CA auth-ca.pem -rsigner "$3" -rkey "$4" -reqin "$1.req" -ndays 1 \
    -respout "$1.der" 2>/dev/null
}
# Before the card's certificate enters the CA's database, the responder does not know it.
answer ocsp-unknown card-auth.pem ocsp-responder.pem ocsp-responder.key
openssl ca -batch -config ca.cnf -cert auth-ca.pem -keyfile auth-ca.key -valid card-auth.pem 2>/dev/null
openssl ca -batch -config ca.cnf -cert auth-ca.pem -keyfile auth-ca.key -revoke revoked.pem -crl_reason keyCompromise 2>/dev/null

# A CA of the card CA's very name, with a key of its own.
openssl genrsa -out other-ca.key 2048 2>/dev/null
openssl req -x509 -new -key other-ca.key -subj "$(openssl x509 -in auth-ca.pem -noout -subject -nameopt compat | sed 's/^subject=//')" \
  -utf8 -config ca.cnf -extensions ca_ext -days 36500 -out other-ca.pem
openssl x509 -req -in card-auth.csr -CA other-ca.pem -CAkey other-ca.key -set_serial 0x0BAD -days 36500 \
  -extfile ca.cnf -extensions login -out other-ca-leaf.pem 2>/dev/null

crl() { openssl ca -batch -config ca.cnf -cert auth-ca.pem -keyfile auth-ca.key -gencrl "$@" 2>/dev/null; }
crl -crldays 36500 -out crl.pem
crl -crl_lastupdate 20200101000000Z -crl_nextupdate 20200201000000Z -out crl-stale.pem
# CRLs of a part only: one distribution point (the revoked certificate's, or another), CA certificates only.
crl -crldays 36500 -crlexts crl_partition -out crl-partition.pem
crl -crldays 36500 -crlexts crl_other_partition -out crl-other-partition.pem
crl -crldays 36500 -crlexts crl_ca_only -out crl-ca-only.pem
for name in crl crl-stale crl-partition crl-other-partition crl-ca-only; do
  openssl crl -in "$name.pem" -outform DER -out "$name.der"
done

answer ocsp-good card-auth.pem auth-ca.pem auth-ca.key
answer ocsp-revoked revoked.pem ocsp-responder.pem ocsp-responder.key
answer ocsp-forged card-auth.pem other-ca.pem other-ca.key

node "$here/make-vectors.mjs" "$work" "$here"
mkdir -p "$here/pki"
cp auth-ca.pem ocsp-responder.pem ocsp-responder.key index.txt index.txt.attr "$here/pki/"
