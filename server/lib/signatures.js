// RSA signatures, checked with Node's crypto: the card's RSASSA-PKCS1-v1_5
// signatures over SHA-256 digests, and the CA's signatures on certificates,
// CRLs and OCSP responses.
import {constants, createPublicKey, publicDecrypt, verify} from 'node:crypto';
import * as asn1js from 'asn1js';
import * as pkijs from 'pkijs';

// sha256WithRSAEncryption and its longer siblings; nothing weaker.
const RSA_HASHES = {
  '1.2.840.113549.1.1.11': 'sha256',
  '1.2.840.113549.1.1.12': 'sha384',
  '1.2.840.113549.1.1.13': 'sha512',
};
const MIN_RSA_BITS = 2048;
export const SHA256_DIGEST_INFO_PREFIX = Buffer.from('3031300d060960864801650304020105000420', 'hex');

// The certificate's key; throws unless it is RSA of 2048 bits or more.
export function rsaPublicKey(certificate) {
  const spki = Buffer.from(certificate.subjectPublicKeyInfo.toSchema().toBER());
  const key = createPublicKey({key: spki, format: 'der', type: 'spki'});
  if (key.asymmetricKeyType !== 'rsa' || key.asymmetricKeyDetails.modulusLength < MIN_RSA_BITS) {
    throw new Error(`the key is not RSA of ${MIN_RSA_BITS} bits or more`);
  }
  return key;
}

// Whether key signed a pkijs Certificate, CertificateRevocationList or BasicOCSPResponse.
export function signedBy(signed, key) {
  const parts = signedParts(signed);
  // PKCS#1 algorithms take NULL parameters (or, loosely, none).
  const hash = parts && (parts.algorithm.algorithmParams ?? new asn1js.Null()) instanceof asn1js.Null &&
    RSA_HASHES[parts.algorithm.algorithmId];
  if (!hash) return false;
  try {
    return verify(hash, parts.tbs, key, parts.signature);
  } catch {
    return false;
  }
}

function signedParts(signed) {
  if (signed instanceof pkijs.BasicOCSPResponse) {
    return {tbs: signed.tbsResponseData.tbsView, algorithm: signed.signatureAlgorithm,
      signature: signed.signature.valueBlock.valueHexView};
  }
  // Certificates and CRLs name their algorithm inside the signed part and
  // again outside it; the two must be the same to the byte.
  const inside = Buffer.from(signed.signature.toSchema().toBER());
  if (!inside.equals(Buffer.from(signed.signatureAlgorithm.toSchema().toBER()))) return null;
  return {tbs: signed.tbsView, algorithm: signed.signatureAlgorithm,
    signature: signed.signatureValue.valueBlock.valueHexView};
}

// RSASSA-PKCS1-v1_5: whether signature is key's signature over the SHA-256
// DigestInfo of digest (32 bytes). The whole encoded block is compared, so no
// lax DigestInfo parsing can let a forged signature through.
export function signsDigest(key, digest, signature) {
  if (signature.length !== Math.ceil(key.asymmetricKeyDetails.modulusLength / 8)) return false;
  let encoded;
  try {
    encoded = publicDecrypt({key, padding: constants.RSA_PKCS1_PADDING}, signature);
  } catch {
    return false;
  }
  return encoded.equals(Buffer.concat([SHA256_DIGEST_INFO_PREFIX, digest]));
}
