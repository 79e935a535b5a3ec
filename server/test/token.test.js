// The token is read strictly: each malformed one is refused as "format",
// before anything else is looked at.
import assert from 'node:assert/strict';
import {test} from 'node:test';
import {runVector, vector} from './support/vectors.js';

const login = vector('login-valid');
const token = login.token;
const base64 = (bytes) => Buffer.from(bytes).toString('base64');
const certificate = Buffer.from(token.certificate, 'base64');
const {signature: _signature, ...withoutSignature} = token;
// The last Base64 digit before "==" carries 4 unused bits; set one.
const alphabet = 'ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/';
const lastDigit = token.signature.length - 3;
const looseSignature = token.signature.slice(0, lastDigit) +
  alphabet[alphabet.indexOf(token.signature[lastDigit]) | 1] + token.signature.slice(lastDigit + 1);

const malformed = [
  ['null', null],
  ['a JSON array', '[]'],
  ['JSON text that does not parse', '{"format":'],
  ['JSON text over 16 KiB', JSON.stringify({...token, padding: ' '.repeat(16 * 1024)})],
  ['an object with another prototype', Object.assign(Object.create({inherited: true}), token)],
  ['no signature', withoutSignature],
  ['a field the format does not have', {...token, uuid: '0123456789ABCDEF0123456789ABCDEF'}],
  ['a number where a text belongs', {...token, cityCode: 13101}],
  ['a format with a suffix', {...token, format: 'tavori-auth:1.0'}],
  ['another algorithm', {...token, algorithm: 'PS256'}],
  ['an empty origin', {...token, origin: ''}],
  ['an origin over 267 characters', {...token, origin: `https://${'a'.repeat(260)}.jp`}],
  ['Base64 broken over lines', {...token, certificate: `${token.certificate.slice(0, 64)}\n${token.certificate.slice(64)}`}],
  ['Base64 without its padding', {...token, signature: token.signature.replace(/=+$/, '')}],
  ['Base64 with unused bits set', {...token, signature: looseSignature}],
  ['base64url', {...token, certificate: Buffer.from(certificate).toString('base64url')}],
  ['an empty signature', {...token, signature: ''}],
  ['a certificate over 8 KiB', {...token, certificate: base64(new Uint8Array(8193))}],
  ['a certificate that is not DER', {...token, certificate: base64('not a certificate')}],
  ['a certificate with a byte after it', {...token, certificate: base64(Buffer.concat([certificate, Buffer.of(0)]))}],
  ['a certificate cut short', {...token, certificate: base64(certificate.subarray(0, certificate.length - 1))}],
  ['an upper-case combination code', {...token, combinationCode: token.combinationCode.toUpperCase()}],
  ['a city code of letters', {...token, cityCode: '4142434445'}],
];

for (const [name, value] of malformed) {
  test(`refused as format: ${name}`, async () => {
    await assert.rejects(runVector(login, {token: value}), {name: 'VerificationError', code: 'format'});
  });
}

test('the token may come as its JSON text', async () => {
  const result = await runVector(login, {token: JSON.stringify(token)});
  assert.equal(result.cityCode, token.cityCode);
});
