// The service's options to both verifiers, checked before any byte from the
// user is read: a mistake in them is a TypeError, never a refused user.
import {TrustAnchors} from './trust-anchors.js';

function knownKeys(object, name, keys) {
  if (object === null || typeof object !== 'object') throw new TypeError(`${name} is an object`);
  const unknown = Object.keys(object).filter((key) => !keys.includes(key));
  if (unknown.length > 0) throw new TypeError(`${name}: unknown option ${unknown.join(', ')}`);
}

// trustAnchors, now, revocation and fetch, and the verifier's own keys.
export function verificationOptions(options, ownKeys) {
  knownKeys(options, 'options', ['trustAnchors', 'now', 'revocation', 'fetch', ...ownKeys]);
  const {trustAnchors, now = new Date(), fetch = globalThis.fetch} = options;
  if (!(trustAnchors instanceof TrustAnchors)) {
    throw new TypeError('options.trustAnchors comes from loadTrustAnchors()');
  }
  if (!(now instanceof Date) || Number.isNaN(now.getTime())) throw new TypeError('options.now is a Date');
  if (typeof fetch !== 'function') throw new TypeError('options.fetch is a function');
  return {trustAnchors, now: now.getTime(), revocation: revocationOptions(options.revocation), fetch};
}

const DEFAULT_TIMEOUT_MS = 5000;
const DEFAULT_MAX_CRL_BYTES = 16 * 1024 * 1024;

// null when no revocation check is configured.
function revocationOptions(revocation) {
  if (revocation === undefined || revocation === null) return null;
  knownKeys(revocation, 'revocation', ['ocsp', 'crl', 'timeoutMs', 'maxCrlBytes']);
  const {ocsp, crl, timeoutMs = DEFAULT_TIMEOUT_MS, maxCrlBytes = DEFAULT_MAX_CRL_BYTES} = revocation;
  if (ocsp !== undefined) {
    knownKeys(ocsp, 'revocation.ocsp', ['url']);
    httpUrl(ocsp.url, 'revocation.ocsp.url');
  }
  if (crl !== undefined) {
    knownKeys(crl, 'revocation.crl', ['url']);
    if (crl.url !== undefined) httpUrl(crl.url, 'revocation.crl.url');
  }
  if (!Number.isInteger(timeoutMs) || timeoutMs < 1 || !Number.isInteger(maxCrlBytes) || maxCrlBytes < 1) {
    throw new TypeError('revocation.timeoutMs and revocation.maxCrlBytes are positive whole numbers');
  }
  return {ocsp, crl, timeoutMs, maxCrlBytes};
}

function httpUrl(value, name) {
  if (typeof value !== 'string' || !/^https?:\/\/./i.test(value) || !URL.canParse(value)) {
    throw new TypeError(`${name} is an http or https address`);
  }
}
