// The signed value: TOKEN.md's worked example is what loginDigest computes,
// and only a challenge of the documented form is taken.
import assert from 'node:assert/strict';
import {readFileSync} from 'node:fs';
import {test} from 'node:test';
import {loginDigest} from '../index.js';

const document = readFileSync(new URL('../TOKEN.md', import.meta.url), 'utf8');
const example = (label) => new RegExp(`^${label}\\s+=?\\s*([0-9A-Za-z_-]+)$`, 'm').exec(document)[1];

test('TOKEN.md\'s worked example', () => {
  const challenge = example('challenge text');
  assert.deepEqual(Buffer.from(challenge, 'base64url'), Buffer.from(Array.from({length: 32}, (_, index) => index)));
  const digest = Buffer.from(loginDigest('https://service.example.jp', challenge)).toString('hex');
  assert.equal(digest, example('H '));
  assert.equal(`3031300d060960864801650304020105000420${digest}`, example('DI'));
});

test('a challenge is base64url of 32 to 256 bytes in its one spelling', () => {
  const text = (length) => Buffer.alloc(length, 7).toString('base64url');
  assert.equal(loginDigest('https://service.example.jp', text(256)).length, 32);
  const notChallenges = ['', text(31), text(257), `${text(32)}=`, Buffer.alloc(33, 0xfb).toString('base64'),
    `${text(32).slice(0, -1)}B`, 42];
  for (const challenge of notChallenges) {
    assert.throws(() => loginDigest('https://service.example.jp', challenge), TypeError, String(challenge));
  }
});
