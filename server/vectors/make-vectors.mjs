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

// M of TOKEN.md: what an RS256 signature covers.
function loginMessage(origin, challenge) {
  return Buffer.concat([sha256(Buffer.from(origin, 'utf8')), sha256(Buffer.from(challenge, 'base64url'))]);
}

function cardToken(challenge, {certificate = CARD_AUTH, key = AUTH_KEY, origin = ORIGIN, signedFor = origin} = {}) {
  return {
    format: 'tavori-auth:1', origin, certificate: base64(certificate),
    signature: base64(sign('sha256', loginMessage(signedFor, challenge), key)), algorithm: 'RS256',
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

// token: makes the token from the session's challenge (default: the card's
// own); issued: false leaves the session without a challenge.
function login(name, description, {token = cardToken, expected, revocation = null, responses = {}, now = NOW,
  expiresAt = new Date(now.getTime() + 300_000), used = false, issued = true}) {
  const challenge = randomBytes(32).toString('base64url');
  vectors[name] = {
    description, kind: 'login', now: now.toISOString(), origin: ORIGIN,
    challenge: issued ? {value: challenge, expiresAt: expiresAt.toISOString(), used} : null,
    ...(issued && {digest: sha256(loginMessage(ORIGIN, challenge)).toString('hex')}),
    token: token(challenge), trustAnchors: TRUST, revocation, responses, expected,
  };
}

const body = (name) => ({status: 200, body: base64(read(name))});
const ocsp = (name) => ({revocation: {ocsp: {url: OCSP_URL}}, responses: {[OCSP_URL]: body(name)}});
const crl = (name, url = CRL_URL) => ({revocation: {crl: url ? {url} : {}}, responses: {[CRL_URL]: body(name)}});
const certified = (file) => (challenge) => cardToken(challenge, {certificate: der(file)});
const refused = (code, reason) => ({ok: false, code, ...(reason && {reason})});
// Local failures come with both revocation checks configured: a verifier must
// refuse them without fetching anything.
const both = {revocation: {ocsp: {url: OCSP_URL}, crl: {url: CRL_URL}},
  responses: {[OCSP_URL]: body('ocsp-good.der'), [CRL_URL]: body('crl.der')}};

const codes = {combinationCode: sha256(Buffer.from('a card and an installation')).toString('hex'), cityCode: Buffer.from('13101').toString('hex')};
login('login-valid', 'The virtual card logs in; the token carries the combination and city codes.', {
  token: (challenge) => ({...cardToken(challenge), ...codes}),
  expected: {ok: true, result: {...certificateResult(CARD_AUTH), ...codes}}});

login('login-valid-ocsp', 'OCSP, answered by the CA itself: good.', {
  ...ocsp('ocsp-good.der'),
  expected: {ok: true, result: certificateResult(CARD_AUTH)}});

login('login-valid-crl', 'A current CRL that does not list the certificate.', {
  ...crl('crl.der'), expected: {ok: true, result: certificateResult(CARD_AUTH)}});

login('login-tampered-signature', 'One bit of the signature flipped.', {
  ...both, expected: refused('signature'),
  token: (challenge) => {
    const token = cardToken(challenge);
    const signature = Buffer.from(token.signature, 'base64');
    signature[100] ^= 0x01;
    return {...token, signature: base64(signature)};
  }});

login('login-other-origin', 'A token made on another site, sent on as it is.', {
  ...both, token: (challenge) => cardToken(challenge, {origin: 'https://phish.example.com'}),
  expected: refused('origin-mismatch')});

login('login-origin-rewritten', 'A token made on another site whose origin field was rewritten to the service\'s.', {
  ...both, token: (challenge) => cardToken(challenge, {signedFor: 'https://phish.example.com'}),
  expected: refused('signature')});

login('login-reused-challenge', 'The session\'s challenge was used by an earlier verification.', {
  used: true, ...both, expected: refused('challenge', 'used')});

login('login-expired-challenge', 'The session\'s challenge expired a minute ago.', {
  expiresAt: new Date(NOW.getTime() - 60_000), ...both,
  expected: refused('challenge', 'expired')});

login('login-no-challenge', 'The session was given no challenge (or it was forgotten).', {
  issued: false, ...both, expected: refused('challenge', 'unknown')});

login('login-expired-certificate', 'A user-authentication certificate of the card\'s key and CA that ended in 2021.', {
  ...both, token: certified('expired.pem'), expected: refused('validity')});

login('login-other-ca', 'A certificate from a CA of the same name as the card\'s but another key.', {
  ...both, token: certified('other-ca-leaf.pem'), expected: refused('chain')});

login('login-signing-certificate', 'The card\'s signature certificate and key used to log in.', {
  ...both, token: (challenge) => cardToken(challenge, {certificate: CARD_SIGN, key: SIGN_KEY}), expected: refused('policy')});

login('login-wrong-key-usage', 'The log-in policy, but an extended key usage for e-mail only.', {
  ...both, token: certified('wrong-usage.pem'), expected: refused('key-usage')});

login('login-format-version', 'A token of another format version.', {
  ...both, token: (challenge) => ({...cardToken(challenge), format: 'tavori-auth:2'}), expected: refused('format')});

login('login-format-extra-field', 'A token with a field the format does not have.', {
  ...both, token: (challenge) => ({...cardToken(challenge), uuid: '0123456789ABCDEF0123456789ABCDEF'}),
  expected: refused('format')});

login('login-revoked-ocsp', 'A revoked certificate; the CA\'s OCSP responder certificate signs the answer.', {
  token: certified('revoked.pem'), ...ocsp('ocsp-revoked.der'),
  expected: refused('revoked')});

login('login-revoked-crl', 'A revoked certificate, listed in the CRL at the service\'s address.', {
  token: certified('revoked.pem'), ...crl('crl.der'),
  expected: refused('revoked')});

login('login-revoked-crl-distribution-point', 'A revoked certificate, listed in the CRL at its own distribution point.', {
  token: certified('revoked.pem'), ...crl('crl.der', null),
  expected: refused('revoked')});

login('login-crl-stale', 'The only CRL ended in 2020.', {
  ...crl('crl-stale.der'), expected: refused('revocation-unavailable')});

login('login-revoked-crl-partition', 'A revoked certificate, listed in a CRL of its own distribution point only.', {
  token: certified('revoked.pem'), ...crl('crl-partition.der'),
  expected: refused('revoked')});

login('login-crl-other-partition', 'The only CRL covers another distribution point\'s certificates.', {
  ...crl('crl-other-partition.der'), expected: refused('revocation-unavailable')});

login('login-crl-ca-only', 'The only CRL covers CA certificates only.', {
  ...crl('crl-ca-only.der'), expected: refused('revocation-unavailable')});

login('login-crl-unreachable', 'The CRL address does not answer.', {
  revocation: {crl: {url: 'http://unreachable.tavori.test/jpki-auth.crl'}},
  expected: refused('revocation-unavailable')});

login('login-ocsp-forged', 'An OCSP answer "good" signed by a key the card\'s CA never certified.', {
  ...ocsp('ocsp-forged.der'), expected: refused('revocation-unavailable')});

login('login-ocsp-unknown', 'The responder does not know the certificate.', {
  ...ocsp('ocsp-unknown.der'), expected: refused('revocation-unavailable')});

login('login-ocsp-stale', 'A good OCSP answer whose nextUpdate passed a day ago.', {
  ...ocsp('ocsp-good.der'), now: new Date(NOW.getTime() + 2 * 86_400_000),
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
