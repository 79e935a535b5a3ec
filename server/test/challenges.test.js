// Challenges and the in-memory store: each challenge verifies at most once.
import assert from 'node:assert/strict';
import {test} from 'node:test';
import {createChallenge, issueChallenge, MemoryChallengeStore} from '../index.js';
import {runVector, vector} from './support/vectors.js';

test('a challenge is 32 fresh random bytes in base64url', () => {
  const challenges = new Set(Array.from({length: 50}, createChallenge));
  assert.equal(challenges.size, 50);
  for (const challenge of challenges) {
    assert.match(challenge, /^[A-Za-z0-9_-]{43}$/);
    assert.equal(Buffer.from(challenge, 'base64url').length, 32);
  }
});

test('the store hands a challenge out once, then as used; a session without one gets null', async () => {
  const store = new MemoryChallengeStore();
  const challenge = await issueChallenge(store, 'session', {now: new Date(1000), ttlMs: 500});
  assert.deepEqual(await store.take('session'), {challenge, expiresAt: 1500, used: false});
  assert.deepEqual(await store.take('session'), {challenge, expiresAt: 1500, used: true});
  assert.equal(await store.take('another session'), null);
});

test('of takes racing for one challenge, exactly one gets it unused', async () => {
  const store = new MemoryChallengeStore();
  await issueChallenge(store, 'session');
  const taken = await Promise.all(Array.from({length: 20}, () => store.take('session')));
  assert.equal(taken.filter((record) => !record.used).length, 1);
});

test('a new challenge replaces the session\'s old one', async () => {
  const store = new MemoryChallengeStore();
  await issueChallenge(store, 'session');
  const second = await issueChallenge(store, 'session');
  assert.equal((await store.take('session')).challenge, second);
});

test('expired challenges are forgotten, and the oldest sessions go past maxEntries', async () => {
  let clock = 0;
  const store = new MemoryChallengeStore({maxEntries: 2, clock: () => clock});
  await store.put('a', {challenge: createChallenge(), expiresAt: 100});
  await store.put('b', {challenge: createChallenge(), expiresAt: 200});
  await store.put('c', {challenge: createChallenge(), expiresAt: 300});
  assert.equal(await store.take('a'), null);
  clock = 250;
  await store.put('d', {challenge: createChallenge(), expiresAt: 400});
  assert.equal(await store.take('b'), null);
  assert.notEqual(await store.take('c'), null);
  assert.notEqual(await store.take('d'), null);
});

test('through the store, a token verifies once and its replay is refused as used', async () => {
  const login = vector('login-valid');
  const store = new MemoryChallengeStore();
  await store.put('session', {challenge: login.challenge.value, expiresAt: Date.parse(login.challenge.expiresAt)});
  await runVector(login, {challenge: await store.take('session')});
  await assert.rejects(runVector(login, {challenge: await store.take('session')}), {code: 'challenge', reason: 'used'});
});
