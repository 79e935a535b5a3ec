// An origin-bound log-in (server/TOKEN.md, "The signed value"): the page gives
// the server's challenge, and the value the card signs is made here from it and
// the origin the browser reports, so that no page chooses it.

// base64url without padding in the one spelling of its bytes: 43 to 342
// characters are 32 to 256 bytes.
const CHALLENGE_TEXT = /^[A-Za-z0-9_-]{43,342}$/;
const SHA256_DIGEST_INFO_PREFIX = [
  0x30, 0x31, 0x30, 0x0d, 0x06, 0x09, 0x60, 0x86, 0x48, 0x01, 0x65, 0x03, 0x04, 0x02, 0x01, 0x05, 0x00, 0x04, 0x20,
];

// The challenge's bytes, or null when the text is no challenge.
export function challengeBytes(text) {
  if (typeof text !== 'string' || !CHALLENGE_TEXT.test(text) || text.length % 4 === 1) return null;
  const binary = atob(text.replace(/-/g, '+').replace(/_/g, '/'));
  const spelled = btoa(binary).replace(/\+/g, '-').replace(/\//g, '_').replace(/=+$/, '');
  return spelled === text ? Uint8Array.from(binary, (c) => c.charCodeAt(0)) : null;
}

// The SHA-256 DigestInfo of SHA-256(SHA-256(UTF-8 origin) || SHA-256(challenge)).
export async function loginDigestInfo(origin, challenge, subtle = globalThis.crypto.subtle) {
  const sha256 = async (bytes) => new Uint8Array(await subtle.digest('SHA-256', bytes));
  const message = new Uint8Array(64);
  message.set(await sha256(new TextEncoder().encode(origin)));
  message.set(await sha256(challenge), 32);
  return Uint8Array.from([...SHA256_DIGEST_INFO_PREFIX, ...await sha256(message)]);
}

// A page's authenticate message as the log-in request the host takes: mode "01"
// with "digest" made here in place of "challenge". {ok: true, request} (still to
// be checked as any request) or {ok: false, code: 'refused', reason}.
export async function boundLoginRequest(value, origin) {
  const refused = (reason) => ({ok: false, code: 'refused', reason});
  if (value === null || typeof value !== 'object' || Array.isArray(value)) {
    return refused('the request is not a JSON object');
  }
  if (value.mode !== '01') return refused('a log-in with a challenge is mode "01"');
  if ('digest' in value) return refused('a log-in with a challenge takes no digest: the extension makes it');
  const bytes = challengeBytes(value.challenge);
  if (!bytes) return refused('"challenge" is not base64url without padding of 32 to 256 bytes');
  const {challenge, ...request} = value;
  const digest = await loginDigestInfo(origin, bytes);
  return {ok: true, request: {...request, digest: btoa(String.fromCharCode(...digest))}};
}
