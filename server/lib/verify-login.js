// verifyLogin: who logged in, from a "tavori-auth:1" token. Every local check,
// the signature's included, comes before any revocation fetch, so a forged
// token never makes the server reach out.
import {certificateResult, checkCertificate} from './certificate-path.js';
import {stage, VerificationError} from './errors.js';
import {challengeBytes, loginDigest} from './login-message.js';
import {verificationOptions} from './options.js';
import {checkOrigin} from './origin.js';
import {LOGIN} from './profiles.js';
import {checkRevocation} from './revocation.js';
import {signsDigest} from './signatures.js';
import {parseToken} from './token.js';

export async function verifyLogin(token, options) {
  const context = verificationOptions(options, ['challenge', 'origin']);
  const origin = checkOrigin(options.origin);
  const record = challengeRecord(options.challenge);

  const fields = await stage('format', () => parseToken(token));
  if (fields.origin !== origin) {
    throw new VerificationError('origin-mismatch', `the token was made for ${JSON.stringify(fields.origin)}`);
  }
  checkChallenge(record, context.now);
  const {certificate, anchor, key} = await checkCertificate(fields.certificate, LOGIN, context);
  if (!signsDigest(key, loginDigest(origin, record.challenge), fields.signature)) {
    throw new VerificationError('signature', 'the signature is not the certificate\'s over this origin and challenge');
  }
  await checkRevocation(certificate, anchor, context);
  const result = certificateResult(certificate);
  if (fields.combinationCode !== undefined) result.combinationCode = fields.combinationCode;
  if (fields.cityCode !== undefined) result.cityCode = fields.cityCode;
  return result;
}

// What the service's challenge store gave for the session: null, or
// {challenge, expiresAt, used?}.
function challengeRecord(record) {
  if (record === null) return null;
  if (typeof record !== 'object' || !challengeBytes(record.challenge) || !Number.isFinite(record.expiresAt) ||
      !['boolean', 'undefined'].includes(typeof record.used)) {
    throw new TypeError('options.challenge is null or the store\'s {challenge, expiresAt, used?}');
  }
  return record;
}

function checkChallenge(record, now) {
  if (record === null) throw new VerificationError('challenge', 'no challenge was issued to this session', 'unknown');
  if (record.used) throw new VerificationError('challenge', 'the challenge was used before', 'used');
  if (now > record.expiresAt) throw new VerificationError('challenge', 'the challenge has expired', 'expired');
}
