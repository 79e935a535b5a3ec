// Revocation over the network, against a local CRL server and OpenSSL's OCSP
// responder for the card's test CA, with today's clock.
import assert from 'node:assert/strict';
import {after, before, test} from 'node:test';
import {fileURLToPath} from 'node:url';
import {startHttp, startOcspResponder} from './support/responders.js';
import {fromBase64, runVector, vector} from './support/vectors.js';

const good = vector('login-valid');
const revoked = vector('login-revoked-crl');
const crl = fromBase64(revoked.responses[revoked.revocation.crl.url].body);
let http;
let ocsp;

before(async () => {
  http = await startHttp({'/jpki-auth.crl': crl, '/silent.crl': null});
  ocsp = await startOcspResponder(fileURLToPath(new URL('../vectors/pki/', import.meta.url)));
});
after(async () => {
  await Promise.all([http?.stop(), ocsp?.stop()]);
});

// Today's clock, and a fresh challenge record for the vector's own challenge.
function live(base, revocation) {
  return runVector(base, {
    now: new Date(), fetch: globalThis.fetch, revocation,
    challenge: {challenge: base.challenge.value, expiresAt: Date.now() + 60_000},
  });
}

const cases = [
  ['OCSP says good', good, () => ({ocsp: {url: ocsp.url}}), 'ok'],
  ['OCSP says revoked', revoked, () => ({ocsp: {url: ocsp.url}}), 'revoked'],
  ['the CRL does not list it', good, () => ({crl: {url: http.url('/jpki-auth.crl')}}), 'ok'],
  ['the CRL lists it', revoked, () => ({crl: {url: http.url('/jpki-auth.crl')}}), 'revoked'],
  ['OCSP and the CRL both say good', good, () => ({ocsp: {url: ocsp.url}, crl: {url: http.url('/jpki-auth.crl')}}), 'ok'],
  ['no CRL at the address', good, () => ({crl: {url: http.url('/none.crl')}}), 'revocation-unavailable'],
  ['the CRL server never answers', good, () => ({crl: {url: http.url('/silent.crl')}, timeoutMs: 300}),
    'revocation-unavailable'],
  ['no OCSP responder at the address', good, () => ({ocsp: {url: http.url('/ocsp')}}), 'revocation-unavailable'],
  ['a revoking CRL outweighs an unreachable responder', revoked,
    () => ({ocsp: {url: http.url('/ocsp')}, crl: {url: http.url('/jpki-auth.crl')}}), 'revoked'],
];

for (const [name, base, revocation, expected] of cases) {
  test(name, async () => {
    const outcome = await live(base, revocation()).then(() => 'ok', (error) => error.code);
    assert.equal(outcome, expected);
  });
}
