// The log-in token "tavori-auth:1" read strictly (TOKEN.md): exactly its
// fields, each in its one form and within its bounds.
import {decodeBase64} from './base64.js';
import {VerificationError} from './errors.js';

const TOKEN_FORMAT = 'tavori-auth:1';
const MAX_TOKEN_TEXT = 16 * 1024;
export const MAX_CERTIFICATE_BYTES = 8 * 1024;
export const MAX_SIGNATURE_BYTES = 512;
const MAX_ORIGIN = 267;

const REQUIRED = ['format', 'origin', 'certificate', 'signature', 'algorithm'];
const OPTIONAL = {
  combinationCode: /^[0-9a-f]{64}$/, // SHA-256, as TAV answers it
  cityCode: /^(?:3[0-9]){5}$/, // five ASCII digits in hexadecimal, as TAV answers it
};

const refuse = (why) => new VerificationError('format', `token: ${why}`);

// token: the object, or its JSON text.
export function parseToken(token) {
  const fields = typeof token === 'string' ? parseJson(token) : token;
  if (fields === null || typeof fields !== 'object' || Array.isArray(fields) ||
      ![Object.prototype, null].includes(Object.getPrototypeOf(fields))) {
    throw refuse('not a JSON object');
  }
  for (const key of Object.keys(fields)) {
    if (!REQUIRED.includes(key) && !(key in OPTIONAL)) throw refuse(`unknown field ${JSON.stringify(key).slice(0, 40)}`);
    if (typeof fields[key] !== 'string') throw refuse(`${key} is not a text`);
  }
  for (const key of REQUIRED) {
    if (!(key in fields)) throw refuse(`no ${key}`);
  }
  if (fields.format !== TOKEN_FORMAT) throw refuse(`format is not "${TOKEN_FORMAT}"`);
  if (fields.algorithm !== 'RS256') throw refuse('algorithm is not "RS256"');
  if (fields.origin.length === 0 || fields.origin.length > MAX_ORIGIN) throw refuse('origin length');
  for (const [key, pattern] of Object.entries(OPTIONAL)) {
    if (key in fields && !pattern.test(fields[key])) throw refuse(`${key} is not in its form`);
  }
  const parsed = {
    origin: fields.origin,
    certificate: base64Field(fields.certificate, 'certificate', MAX_CERTIFICATE_BYTES),
    signature: base64Field(fields.signature, 'signature', MAX_SIGNATURE_BYTES),
  };
  for (const key of Object.keys(OPTIONAL)) {
    if (key in fields) parsed[key] = fields[key];
  }
  return parsed;
}

function parseJson(text) {
  if (text.length > MAX_TOKEN_TEXT) throw refuse(`longer than ${MAX_TOKEN_TEXT} characters`);
  try {
    return JSON.parse(text);
  } catch {
    throw refuse('not JSON');
  }
}

// Bytes from canonical Base64 (or given as bytes) of 1 to maxBytes bytes.
export function base64Field(value, name, maxBytes) {
  const bytes = value instanceof Uint8Array ? new Uint8Array(value)
    : typeof value === 'string' && value.length <= Math.ceil(maxBytes / 3) * 4 ? decodeBase64(value) : null;
  if (!bytes || bytes.length === 0 || bytes.length > maxBytes) {
    throw new VerificationError('format', `${name} is not Base64 of 1 to ${maxBytes} bytes`);
  }
  return bytes;
}
