// What the card signs at a log-in: the origin the browser reports and the
// server's challenge, each hashed, then hashed together (TOKEN.md, "The signed value").
import {createHash} from 'node:crypto';
import {decodeBase64Url} from './base64.js';

const MIN_CHALLENGE_BYTES = 32;
const MAX_CHALLENGE_BYTES = 256;

// The challenge's bytes, or null when the text is no challenge: base64url
// without padding of 32 to 256 bytes.
export function challengeBytes(text) {
  if (typeof text !== 'string' || text.length > Math.ceil(MAX_CHALLENGE_BYTES * 4 / 3)) return null;
  const bytes = decodeBase64Url(text);
  return bytes && bytes.length >= MIN_CHALLENGE_BYTES ? bytes : null;
}

const sha256 = (bytes) => createHash('sha256').update(bytes).digest();

// SHA-256(SHA-256(UTF-8 origin) || SHA-256(challenge bytes)): the digest the
// card signs as a SHA-256 DigestInfo.
export function loginDigest(origin, challenge) {
  const bytes = challengeBytes(challenge);
  if (typeof origin !== 'string' || !bytes) {
    throw new TypeError('loginDigest(origin, challenge): an origin and a base64url challenge of 32 to 256 bytes');
  }
  return new Uint8Array(sha256(Buffer.concat([sha256(Buffer.from(origin, 'utf8')), sha256(bytes)])));
}
