import assert from 'node:assert/strict';
import {test} from 'node:test';
import {ConsentStore, decide, readPolicy} from '../extension/rules/consent.js';

const A = 'https://a.example.jp';

test('policy first, then the user\'s kept choice, else ask', () => {
  const cases = [
    // managed policy, kept choices, decision
    [{}, {}, 'ask'],
    [{}, {[A]: 'allow'}, 'allow'],
    [{}, {[A]: 'deny'}, 'deny'],
    [{}, {[A]: 'once'}, 'ask'],
    [{allowedOrigins: [A]}, {[A]: 'deny'}, 'allow'],
    [{allowedOrigins: ['https://*.example.jp']}, {}, 'allow'],
    [{blockedOrigins: [A]}, {[A]: 'allow'}, 'deny'],
    [{blockedOrigins: ['https://*.example.jp'], allowedOrigins: [A]}, {}, 'deny'],
    [{askUsers: false}, {[A]: 'allow'}, 'deny'],
    [{askUsers: false, allowedOrigins: [A]}, {}, 'allow'],
    [{allowedOrigins: 'https://a.example.jp'}, {}, 'ask'],
    [{askUsers: 'no'}, {}, 'ask'],
  ];
  for (const [managed, choices, expected] of cases) {
    assert.equal(decide(A, readPolicy(managed), choices), expected, JSON.stringify([managed, choices]));
  }
});

test('the developer setting is forced only by a boolean policy value', () => {
  assert.equal(readPolicy({developerMode: true}).developerMode, true);
  assert.equal(readPolicy({developerMode: false}).developerMode, false);
  assert.equal(readPolicy({developerMode: 'true'}).developerMode, undefined);
  assert.equal(readPolicy(undefined).developerMode, undefined);
});

test('keeps allow and deny per origin, not "once", and revokes', async () => {
  const data = {};
  const area = {
    get: async (key) => (key in data ? {[key]: structuredClone(data[key])} : {}),
    set: async (items) => Object.assign(data, structuredClone(items)),
  };
  const store = new ConsentStore(area);
  await store.remember(A, 'allow');
  await store.remember('https://b.example.jp', 'deny');
  await store.remember('https://c.example.jp', 'once');
  await store.remember('https://d.example.jp', 'once-closed');
  assert.deepEqual(await store.choices(), {[A]: 'allow', 'https://b.example.jp': 'deny'});
  await store.revoke(A);
  assert.deepEqual(await store.choices(), {'https://b.example.jp': 'deny'});
});
