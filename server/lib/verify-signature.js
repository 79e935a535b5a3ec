// verifySignature: a signature the card's signature key made over a SHA-256
// digest (modes 02 and 07), and whose it is.
import {certificateResult, checkCertificate} from './certificate-path.js';
import {stage, VerificationError} from './errors.js';
import {verificationOptions} from './options.js';
import {SIGNING} from './profiles.js';
import {checkRevocation} from './revocation.js';
import {SHA256_DIGEST_INFO_PREFIX, signsDigest} from './signatures.js';
import {readSubjectData} from './subject-data.js';
import {base64Field, MAX_CERTIFICATE_BYTES, MAX_SIGNATURE_BYTES} from './token.js';

export async function verifySignature(hash, signature, certificate, options) {
  const context = verificationOptions(options, []);
  const digest = sha256Digest(hash);
  const signatureBytes = await stage('format', () => base64Field(signature, 'signature', MAX_SIGNATURE_BYTES));
  const der = await stage('format', () => base64Field(certificate, 'certificate', MAX_CERTIFICATE_BYTES));
  const checked = await checkCertificate(der, SIGNING, context);
  if (!signsDigest(checked.key, digest, signatureBytes)) {
    throw new VerificationError('signature', 'the signature is not the certificate\'s over this digest');
  }
  await checkRevocation(checked.certificate, checked.anchor, context);
  return {...certificateResult(checked.certificate), ...readSubjectData(checked.certificate)};
}

// The service's own digest: 32 bytes of SHA-256, or their 51-byte DigestInfo.
function sha256Digest(hash) {
  if (hash instanceof Uint8Array && hash.length === 32) return hash;
  if (hash instanceof Uint8Array && hash.length === 51 &&
      SHA256_DIGEST_INFO_PREFIX.equals(hash.subarray(0, SHA256_DIGEST_INFO_PREFIX.length))) {
    return hash.subarray(SHA256_DIGEST_INFO_PREFIX.length);
  }
  throw new TypeError('hash is a SHA-256 digest (32 bytes) or its DigestInfo (51 bytes)');
}
