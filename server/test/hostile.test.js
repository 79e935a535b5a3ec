// Hostile bytes: whatever is done to a certificate, a CRL or an OCSP answer,
// the verifier refuses it with a VerificationError and its stage's code, and
// never accepts it.
import assert from 'node:assert/strict';
import {test} from 'node:test';
import {loadTrustAnchors, VerificationError} from '../index.js';
import {fromBase64, runVector, vector} from './support/vectors.js';

const base64 = (bytes) => Buffer.from(bytes).toString('base64');

// Each variant of bytes: each of the first 40 bytes (where the outer
// structures' headers are) flipped, then every step-th byte, and the bytes
// cut at a few lengths.
function* variants(bytes, step) {
  for (let index = 0; index < bytes.length; index += index < 40 ? 1 : step) {
    const flipped = Uint8Array.from(bytes);
    flipped[index] ^= 0xff;
    yield flipped;
  }
  for (const length of [0, 1, 4, bytes.length >> 1, bytes.length - 1]) yield bytes.subarray(0, length);
}

// One set of trust anchors for every run (all vectors trust the same CAs).
const trustAnchors = loadTrustAnchors(vector('login-valid').trustAnchors.map(fromBase64));

async function refusedWith(run, codes) {
  const error = await run().then(() => null, (caught) => caught);
  assert.ok(error instanceof VerificationError, `accepted, or ${error?.stack}`);
  assert.ok(codes.includes(error.code), `${error.code}: ${error.message}`);
}

test('a certificate changed anywhere is refused before any fetch', async () => {
  const login = vector('login-valid-ocsp');
  for (const certificate of variants(fromBase64(login.token.certificate), 31)) {
    const asked = [];
    await refusedWith(() => runVector(login, {asked, trustAnchors, token: {...login.token, certificate: base64(certificate)}}),
      ['format', 'policy', 'key-usage', 'chain', 'validity', 'signature']);
    assert.deepEqual(asked, []);
  }
});

// Every byte of a CRL counts, and of an OCSP answer whose responder
// certificate it carries. (An answer the CA signs itself may carry spare
// certificates that nothing rests on.)
test('a CRL or an OCSP answer changed anywhere cannot be used', async () => {
  for (const [name, step] of [['login-valid-crl', 13], ['login-revoked-ocsp', 41]]) {
    const login = vector(name);
    const [url] = Object.keys(login.responses);
    for (const body of variants(fromBase64(login.responses[url].body), step)) {
      const fetch = async () => new Response(body);
      await refusedWith(() => runVector(login, {trustAnchors, fetch}), ['revocation-unavailable']);
    }
  }
});

test('answers too large or with an error status cannot be used', async () => {
  const crl = vector('login-valid-crl');
  const ocsp = vector('login-valid-ocsp');
  const unavailable = ['revocation-unavailable'];
  await refusedWith(() => runVector(crl, {revocation: {...crl.revocation, maxCrlBytes: 100}}), unavailable);
  await refusedWith(() => runVector(ocsp, {fetch: async () => new Response(new Uint8Array(64 * 1024 + 1))}),
    unavailable);
  await refusedWith(() => runVector(crl, {fetch: async () => new Response('busy', {status: 503})}), unavailable);
});
