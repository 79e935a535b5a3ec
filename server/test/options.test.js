// The service's own mistakes are TypeErrors, found before any token byte is
// read; its valid choices are taken.
import assert from 'node:assert/strict';
import {readFileSync} from 'node:fs';
import {test} from 'node:test';
import {loadTrustAnchors, verifySignature} from '../index.js';
import {fromBase64, runVector, vector} from './support/vectors.js';

const login = vector('login-valid');
const signing = vector('sign-valid');
const challenge = {challenge: login.challenge.value, expiresAt: Date.parse(login.challenge.expiresAt)};

const mistakes = [
  ['an origin with a trailing slash', {origin: 'https://service.example.jp/'}],
  ['an origin with upper-case letters', {origin: 'https://Service.example.jp'}],
  ['an origin with its default port', {origin: 'https://service.example.jp:443'}],
  ['an origin with a path', {origin: 'https://service.example.jp/login'}],
  ['an http origin off this machine', {origin: 'http://service.example.jp'}],
  ['a host without a scheme', {origin: 'service.example.jp'}],
  ['certificates instead of loaded trust anchors', {trustAnchors: login.trustAnchors.map(fromBase64)}],
  ['no challenge option at all', {challenge: undefined}],
  ['a challenge record without a challenge', {challenge: {...challenge, challenge: 'c2hvcnQ'}}],
  ['a challenge record with a text expiry', {challenge: {...challenge, expiresAt: 'soon'}}],
  ['now as a text', {now: '2026-01-01T00:00:00Z'}],
  ['an invalid date', {now: new Date(Number.NaN)}],
  ['fetch that is not a function', {fetch: 'https://fetch.example'}],
  ['a misspelt option', {orgin: login.origin}],
  ['OCSP without an address', {revocation: {ocsp: {}}}],
  ['an LDAP CRL address', {revocation: {crl: {url: 'ldap://ldap.example.jp/cn=crl'}}}],
  ['a misspelt revocation option', {revocation: {crl: {uri: 'http://crl.example.jp/a.crl'}}}],
  ['a zero timeout', {revocation: {ocsp: {url: 'http://ocsp.example.jp'}, timeoutMs: 0}}],
];

for (const [name, options] of mistakes) {
  test(`a TypeError, even for a garbage token: ${name}`, async () => {
    await assert.rejects(runVector(login, {token: 'garbage', challenge, ...options}), TypeError);
  });
}

test('loopback http and other ports are origins too', async () => {
  for (const origin of ['http://127.0.0.1:8000', 'http://localhost:3000', 'https://service.example.jp:8443']) {
    await assert.rejects(runVector(login, {origin}), {code: 'origin-mismatch'});
  }
});

test('trust anchors: PEM text with several certificates loads; a leaf, garbage or nothing does not', async () => {
  const pem = login.trustAnchors.map((der) =>
    `-----BEGIN CERTIFICATE-----\n${der.match(/.{1,64}/g).join('\n')}\n-----END CERTIFICATE-----\n`).join('');
  assert.equal((await runVector(login, {trustAnchors: loadTrustAnchors([pem])})).serialNumber,
    login.expected.result.serialNumber);
  assert.equal(loadTrustAnchors([readFileSync(new URL('../vectors/pki/auth-ca.pem', import.meta.url), 'utf8')])
    .anchors.length, 1);
  for (const bad of [[], [fromBase64(login.token.certificate)], [new Uint8Array(10)], ['no PEM here'], 'one text']) {
    assert.throws(() => loadTrustAnchors(bad), TypeError);
  }
});

test('verifySignature takes the digest or its DigestInfo, and nothing else', async () => {
  const digest = Buffer.from(signing.hash, 'hex');
  const digestInfo = Buffer.concat([Buffer.from('3031300d060960864801650304020105000420', 'hex'), digest]);
  const options = {trustAnchors: loadTrustAnchors(signing.trustAnchors.map(fromBase64)), now: new Date(signing.now)};
  const result = await verifySignature(digestInfo, fromBase64(signing.signature), signing.certificate, options);
  assert.equal(result.name, signing.expected.result.name);
  for (const hash of [digest.subarray(1), Buffer.concat([Buffer.alloc(19), digest]), signing.hash]) {
    await assert.rejects(verifySignature(hash, signing.signature, signing.certificate, options), TypeError);
  }
});
