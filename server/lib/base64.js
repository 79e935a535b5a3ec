// Base64 as the token carries it: one spelling per byte string, so that two
// different texts never stand for the same bytes.

const BASE64 = /^(?:[A-Za-z0-9+/]{4})*(?:[A-Za-z0-9+/]{2}==|[A-Za-z0-9+/]{3}=)?$/;
const BASE64URL = /^[A-Za-z0-9_-]*$/;

// Standard Base64 with padding, in one line; null for anything else.
export function decodeBase64(text) {
  if (typeof text !== 'string' || !BASE64.test(text)) return null;
  const bytes = Buffer.from(text, 'base64');
  return bytes.toString('base64') === text ? new Uint8Array(bytes) : null;
}

// base64url without padding; null for anything else.
export function decodeBase64Url(text) {
  if (typeof text !== 'string' || !BASE64URL.test(text) || text.length % 4 === 1) return null;
  const bytes = Buffer.from(text, 'base64url');
  return bytes.toString('base64url') === text ? new Uint8Array(bytes) : null;
}
