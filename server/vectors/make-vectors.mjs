// Writes the test vectors from the material make-vectors.sh made in WORK: the
// card's tokens and signatures are signed here with the card's own keys
// (RSASSA-PKCS1-v1_5 is deterministic: the card gives the same bytes), and
// every expected value is worked out here, apart from the verifier's code.
// Usage: node make-vectors.mjs WORK OUT
import {createHash, randomBytes, sign, X509Certificate} from 'node:crypto';
import {readFileSync, readdirSync, rmSync, writeFileSync} from 'node:fs';
import {join} from 'node:path';

const [work, out] = process.argv.slice(2);
const read = (name) => readFileSync(join(work, name));
const der = (name) => name.endsWith('.der') ? read(name) : new X509Certificate(read(name)).raw;
const base64 = (bytes) => Buffer.from(bytes).toString('base64');
const sha256 = (bytes) => createHash('sha256').update(bytes).digest();

const NOW = new Date(Math.floor(Date.now() / 1000) * 1000 + 60_000);
const ORIGIN = 'https://service.example.jp';
const OCSP_URL = 'http://ocsp.tavori.test/jpki-auth';
const CRL_URL = 'http://crl.tavori.test/jpki-auth.crl'; // also the revoked certificate's distribution point
const AUTH_KEY = read('keys/cardsim-key-0.pem');
const SIGN_KEY = read('keys/cardsim-key-1.pem');
const CARD_AUTH = der('card/reader0-auth.der');
const CARD_SIGN = der('card/reader0-sign.der');
const TRUST = [der('card/reader0-auth-ca.der'), der('card/reader0-sign-ca.der')].map(base64);
// The virtual card's default holder (tools/cardsim/card_profiles.h).
const HOLDER = {
  name: '番号\u3000花子', nameSubstitute: '番号\u3000花子', sex: '2', dateOfBirth: '319850415',
  address: '東京都千代田区霞が関２丁目１番２号', addressSubstitute: '東京都千代田区霞が関２丁目１番２号',
};

function loginDigest(origin, challenge) {
  return sha256(Buffer.concat([sha256(Buffer.from(origin, 'utf8')), sha256(Buffer.from(challenge, 'base64url'))]));
}

function cardToken(challenge, {certificate = CARD_AUTH, key = AUTH_KEY, origin = ORIGIN, signedFor = origin} = {}) {
  const message = Buffer.concat([sha256(Buffer.from(signedFor, 'utf8')), sha256(Buffer.from(challenge, 'base64url'))]);
  return {
    format: 'tavori-auth:1', origin, certificate: base64(certificate),
    signature: base64(sign('sha256', message, key)), algorithm: 'RS256',
  };
}

function certificateResult(bytes) {
  const certificate = new X509Certificate(bytes);
  return {
    serialNumber: certificate.serialNumber.toLowerCase().replace(/^(00)+(?=..)/, ''),
    subject: certificate.subject.split('\n').reverse().join(','),
    issuer: certificate.issuer.split('\n').reverse().join(','),
    notBefore: new Date(certificate.validFrom).toISOString(),
    notAfter: new Date(certificate.validTo).toISOString(),
  };
}

const vectors = {};

function login(name, description, {token, challenge, expected, revocation = null, responses = {}, now = NOW,
  expiresAt = new Date(now.getTime() + 300_000), used = false}) {
  vectors[name] = {
    description, kind: 'login', now: now.toISOString(), origin: ORIGIN,
    challenge: challenge && {value: challenge, expiresAt: expiresAt.toISOString(), used},
    ...(challenge && {digest: loginDigest(ORIGIN, challenge).toString('hex')}),
    token, trustAnchors: TRUST, revocation, responses, expected,
  };
}

const body = (name) => ({status: 200, body: base64(read(name))});
const ocsp = (name) => ({revocation: {ocsp: {url: OCSP_URL}}, responses: {[OCSP_URL]: body(name)}});
const crl = (name, url = CRL_URL) => ({revocation: {crl: url ? {url} : {}}, responses: {[CRL_URL]: body(name)}});
const refused = (code, reason) => ({ok: false, code, ...(reason && {reason})});
// Local failures come with both revocation checks configured: a verifier must
// refuse them without fetching anything.
const both = {revocation: {ocsp: {url: OCSP_URL}, crl: {url: CRL_URL}},
  responses: {[OCSP_URL]: body('ocsp-good.der'), [CRL_URL]: body('crl.der')}};

let challenge = randomBytes(32).toString('base64url');
const codes = {combinationCode: sha256(Buffer.from('a card and an installation')).toString('hex'), cityCode: Buffer.from('13101').toString('hex')};
login('login-valid', 'The virtual card logs in; the token carries the combination and city codes.', {
  challenge, token: {...cardToken(challenge), ...codes},
  expected: {ok: true, result: {...certificateResult(CARD_AUTH), ...codes}}});

challenge = randomBytes(32).toString('base64url');
login('login-valid-ocsp', 'OCSP, answered by the CA itself: good.', {
  challenge, token: cardToken(challenge), ...ocsp('ocsp-good.der'),
  expected: {ok: true, result: certificateResult(CARD_AUTH)}});

challenge = randomBytes(32).toString('base64url');
login('login-valid-crl', 'A current CRL that does not list the certificate.', {
  challenge, token: cardToken(challenge), ...crl('crl.der'), expected: {ok: true, result: certificateResult(CARD_AUTH)}});

challenge = randomBytes(32).toString('base64url');
login('login-tampered-signature', 'One bit of the signature flipped.', {
  challenge, ...both, expected: refused('signature'),
  token: (() => {
    const token = cardToken(challenge);
    const signature = Buffer.from(token.signature, 'base64');
    signature[100] ^= 0x01;
    return {...token, signature: base64(signature)};
  })()});

challenge = randomBytes(32).toString('base64url');
login('login-other-origin', 'A token made on another site, sent on as it is.', {
  challenge, ...both, token: cardToken(challenge, {origin: 'https://phish.example.com'}),
  expected: refused('origin-mismatch')});

challenge = randomBytes(32).toString('base64url');
login('login-origin-rewritten', 'A token made on another site whose origin field was rewritten to the service\'s.', {
  challenge, ...both, token: cardToken(challenge, {signedFor: 'https://phish.example.com'}),
  expected: refused('signature')});

challenge = randomBytes(32).toString('base64url');
login('login-reused-challenge', 'The session\'s challenge was used by an earlier verification.', {
  challenge, used: true, ...both, token: cardToken(challenge), expected: refused('challenge', 'used')});

challenge = randomBytes(32).toString('base64url');
login('login-expired-challenge', 'The session\'s challenge expired a minute ago.', {
  challenge, expiresAt: new Date(NOW.getTime() - 60_000), ...both, token: cardToken(challenge),
  expected: refused('challenge', 'expired')});

challenge = randomBytes(32).toString('base64url');
login('login-no-challenge', 'The session was given no challenge (or it was forgotten).', {
  challenge: null, ...both, token: cardToken(challenge), expected: refused('challenge', 'unknown')});

challenge = randomBytes(32).toString('base64url');
login('login-expired-certificate', 'A user-authentication certificate of the card\'s key and CA that ended in 2021.', {
  challenge, ...both, token: cardToken(challenge, {certificate: der('expired.pem')}), expected: refused('validity')});

challenge = randomBytes(32).toString('base64url');
login('login-other-ca', 'A certificate from a CA of the same name as the card\'s but another key.', {
  challenge, ...both, token: cardToken(challenge, {certificate: der('other-ca-leaf.pem')}), expected: refused('chain')});

challenge = randomBytes(32).toString('base64url');
login('login-signing-certificate', 'The card\'s signature certificate and key used to log in.', {
  challenge, ...both, token: cardToken(challenge, {certificate: CARD_SIGN, key: SIGN_KEY}), expected: refused('policy')});

challenge = randomBytes(32).toString('base64url');
login('login-wrong-key-usage', 'The log-in policy, but an extended key usage for e-mail only.', {
  challenge, ...both, token: cardToken(challenge, {certificate: der('wrong-usage.pem')}), expected: refused('key-usage')});

challenge = randomBytes(32).toString('base64url');
login('login-format-version', 'A token of another format version.', {
  challenge, ...both, token: {...cardToken(challenge), format: 'tavori-auth:2'}, expected: refused('format')});

challenge = randomBytes(32).toString('base64url');
login('login-format-extra-field', 'A token with a field the format does not have.', {
  challenge, ...both, token: {...cardToken(challenge), uuid: '0123456789ABCDEF0123456789ABCDEF'},
  expected: refused('format')});

challenge = randomBytes(32).toString('base64url');
login('login-revoked-ocsp', 'A revoked certificate; the CA\'s OCSP responder certificate signs the answer.', {
  challenge, token: cardToken(challenge, {certificate: der('revoked.pem')}), ...ocsp('ocsp-revoked.der'),
  expected: refused('revoked')});

challenge = randomBytes(32).toString('base64url');
login('login-revoked-crl', 'A revoked certificate, listed in the CRL at the service\'s address.', {
  challenge, token: cardToken(challenge, {certificate: der('revoked.pem')}), ...crl('crl.der'),
  expected: refused('revoked')});

challenge = randomBytes(32).toString('base64url');
login('login-revoked-crl-distribution-point', 'A revoked certificate, listed in the CRL at its own distribution point.', {
  challenge, token: cardToken(challenge, {certificate: der('revoked.pem')}), ...crl('crl.der', null),
  expected: refused('revoked')});

challenge = randomBytes(32).toString('base64url');
login('login-crl-stale', 'The only CRL ended in 2020.', {
  challenge, token: cardToken(challenge), ...crl('crl-stale.der'), expected: refused('revocation-unavailable')});

challenge = randomBytes(32).toString('base64url');
login('login-revoked-crl-partition', 'A revoked certificate, listed in a CRL of its own distribution point only.', {
  challenge, token: cardToken(challenge, {certificate: der('revoked.pem')}), ...crl('crl-partition.der'),
  expected: refused('revoked')});

challenge = randomBytes(32).toString('base64url');
login('login-crl-other-partition', 'The only CRL covers another distribution point\'s certificates.', {
  challenge, token: cardToken(challenge), ...crl('crl-other-partition.der'), expected: refused('revocation-unavailable')});

challenge = randomBytes(32).toString('base64url');
login('login-crl-ca-only', 'The only CRL covers CA certificates only.', {
  challenge, token: cardToken(challenge), ...crl('crl-ca-only.der'), expected: refused('revocation-unavailable')});

challenge = randomBytes(32).toString('base64url');
login('login-crl-unreachable', 'The CRL address does not answer.', {
  challenge, token: cardToken(challenge), revocation: {crl: {url: 'http://unreachable.tavori.test/jpki-auth.crl'}},
  expected: refused('revocation-unavailable')});

challenge = randomBytes(32).toString('base64url');
login('login-ocsp-forged', 'An OCSP answer "good" signed by a key the card\'s CA never certified.', {
  challenge, token: cardToken(challenge), ...ocsp('ocsp-forged.der'), expected: refused('revocation-unavailable')});

challenge = randomBytes(32).toString('base64url');
login('login-ocsp-unknown', 'The responder does not know the certificate.', {
  challenge, token: cardToken(challenge), ...ocsp('ocsp-unknown.der'), expected: refused('revocation-unavailable')});

challenge = randomBytes(32).toString('base64url');
login('login-ocsp-stale', 'A good OCSP answer whose nextUpdate passed a day ago.', {
  challenge, token: cardToken(challenge), ...ocsp('ocsp-good.der'), now: new Date(NOW.getTime() + 2 * 86_400_000),
  expected: refused('revocation-unavailable')});

const DOCUMENT = Buffer.from('A document the holder signs.\n');
function signature(name, description, {certificate = CARD_SIGN, key = SIGN_KEY, tamper = false, expected}) {
  const bytes = sign('sha256', DOCUMENT, key);
  if (tamper) bytes[0] ^= 0x80;
  vectors[name] = {
    description, kind: 'signature', now: NOW.toISOString(), hash: sha256(DOCUMENT).toString('hex'),
    signature: base64(bytes), certificate: base64(certificate), trustAnchors: TRUST,
    revocation: null, responses: {}, expected,
  };
}
signature('sign-valid', 'The card\'s signature key signs a document\'s SHA-256 digest.', {
  expected: {ok: true, result: {...certificateResult(CARD_SIGN), ...HOLDER}}});
signature('sign-tampered', 'The signature\'s first bit flipped.', {tamper: true, expected: refused('signature')});
signature('sign-login-certificate', 'The user-authentication key and certificate used for a signature.', {
  certificate: CARD_AUTH, key: AUTH_KEY, expected: refused('policy')});

for (const file of readdirSync(out).filter((file) => file.endsWith('.json'))) rmSync(join(out, file));
for (const [name, vector] of Object.entries(vectors)) {
  writeFileSync(join(out, `${name}.json`), `${JSON.stringify(vector, null, 2)}\n`);
}
console.log(`${Object.keys(vectors).length} vectors in ${out}`);
