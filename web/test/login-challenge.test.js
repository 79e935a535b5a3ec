import assert from 'node:assert/strict';
import {test} from 'node:test';
import {loginDigest} from '../../server/index.js';
import {boundLoginRequest, challengeBytes, loginDigestInfo} from '../extension/rules/login-challenge.js';
import {BAD_CHALLENGES, GOOD_CHALLENGES} from './challenge-cases.js';

const DIGEST_INFO_PREFIX = '3031300d060960864801650304020105000420';
const hex = (bytes) => Buffer.from(bytes).toString('hex');

test('the extension takes the challenges the server issues and refuses the rest', () => {
  for (const challenge of GOOD_CHALLENGES) {
    assert.deepEqual(challengeBytes(challenge), new Uint8Array(Buffer.from(challenge, 'base64url')), challenge);
  }
  for (const [name, challenge] of BAD_CHALLENGES) assert.equal(challengeBytes(challenge), null, name);
});

test('the value the extension has signed is the server\'s loginDigest as a DigestInfo', async () => {
  const origins = ['https://service.example.jp', 'https://xn--eckwd4c7c.xn--zckzah:8443', 'http://127.0.0.1:8000',
    'http://[::1]:3000', `https://${'a'.repeat(63)}.${'b'.repeat(63)}.example.jp`];
  for (const origin of origins) {
    for (const challenge of GOOD_CHALLENGES) {
      const info = await loginDigestInfo(origin, challengeBytes(challenge));
      assert.equal(hex(info), DIGEST_INFO_PREFIX + hex(loginDigest(origin, challenge)), `${origin} ${challenge}`);
    }
  }
  // TOKEN.md's worked example.
  const worked = await loginDigestInfo('https://service.example.jp', challengeBytes(GOOD_CHALLENGES[0]));
  assert.equal(hex(worked), `${DIGEST_INFO_PREFIX}dd66ead04ae290d7dfe962991a9a7e34c4e6f40382504f0e9dd33ac594933572`);
});

test('an authenticate message becomes a log-in request whose digest the extension made', async () => {
  const origin = 'https://service.example.jp';
  const request = {mode: '01', latest_version: '1', available_version: '1', city_code_flag: 'true'};
  const bound = await boundLoginRequest({...request, challenge: GOOD_CHALLENGES[0]}, origin);
  const digest = Buffer.from(await loginDigestInfo(origin, challengeBytes(GOOD_CHALLENGES[0]))).toString('base64');
  assert.deepEqual(bound, {ok: true, request: {...request, digest}});

  const cases = [
    ['a digest beside the challenge', {...request, challenge: GOOD_CHALLENGES[0], digest}],
    ['a digest instead', {...request, digest}],
    ['no challenge', request],
    ['another mode', {...request, mode: '02', challenge: GOOD_CHALLENGES[0]}],
    ['no object', [request]],
    ['nothing', null],
    ...BAD_CHALLENGES.map(([name, challenge]) => [`a challenge ${name}`, {...request, challenge}]),
  ];
  for (const [name, value] of cases) {
    const refused = await boundLoginRequest(value, origin);
    assert.equal(refused.ok, false, name);
    assert.equal(refused.code, 'refused', name);
  }
});
