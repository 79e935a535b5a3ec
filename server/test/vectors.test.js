// Every committed vector gives its expected result; a refused one fetches
// nothing unless the refusal is about revocation.
import assert from 'node:assert/strict';
import {test} from 'node:test';
import {loginDigest, VerificationError} from '../index.js';
import {fromBase64, runVector, vectors} from './support/vectors.js';

const REVOCATION_CODES = ['revoked', 'revocation-unavailable'];

test('the vectors cover every case the format promises', () => {
  const codes = new Set(vectors.map((vector) => vector.expected.code ?? 'ok'));
  for (const code of ['ok', 'format', 'origin-mismatch', 'challenge', 'signature', 'chain', 'validity', 'key-usage',
    'policy', 'revoked', 'revocation-unavailable']) {
    assert.ok(codes.has(code), code);
  }
});

for (const vector of vectors) {
  test(`${vector.name}: ${vector.description}`, async () => {
    if (vector.digest) assert.equal(Buffer.from(loginDigest(vector.origin, vector.challenge.value)).toString('hex'), vector.digest);
    const asked = [];
    if (vector.expected.ok) {
      const {certificate, notBefore, notAfter, ...result} = await runVector(vector, {asked});
      assert.deepEqual({...result, notBefore: notBefore.toISOString(), notAfter: notAfter.toISOString()},
        vector.expected.result);
      assert.deepEqual(certificate, fromBase64(vector.token?.certificate ?? vector.certificate));
      return;
    }
    await assert.rejects(runVector(vector, {asked}), (error) => {
      assert.ok(error instanceof VerificationError, error.stack);
      assert.equal(error.code, vector.expected.code, error.message);
      if (vector.expected.reason) assert.equal(error.reason, vector.expected.reason);
      return true;
    });
    if (!REVOCATION_CODES.includes(vector.expected.code)) assert.deepEqual(asked, []);
  });
}
