import assert from 'node:assert/strict';
import {test} from 'node:test';
import {capabilityOfMode, CAPABILITY_NAMES} from '../extension/rules/capabilities.js';
import {ConsentStore, decide, deniedEverything, readChoices, readPolicy} from '../extension/rules/consent.js';
import {MODES} from '../extension/rules/request-check.js';

const A = 'https://a.example.jp';
const ALL_DENIED = Object.fromEntries(CAPABILITY_NAMES.map((name) => [name, 'deny']));

test('every mode a page may send has one capability', () => {
  const cases = [['01', 'login'], ['02', 'sign'], ['07', 'sign'], ['11', 'sign'], ['12', 'sign'],
    ['03', 'personal-data'], ['04', 'personal-data'], ['06', 'password'], ['13', 'password'], ['05', undefined],
    ['1', undefined]];
  for (const [mode, capability] of cases) assert.equal(capabilityOfMode(mode), capability, mode);
  for (const mode of MODES) assert.ok(capabilityOfMode(mode), `mode ${mode} is asked for under no capability`);
});

test('policy first, then the user\'s kept choice for this capability, else ask', () => {
  const cases = [
    // managed policy, kept choices, capability, decision
    [{}, {}, 'login', 'ask'],
    [{}, {[A]: {login: 'allow'}}, 'login', 'allow'],
    [{}, {[A]: {login: 'allow'}}, 'personal-data', 'ask'],
    [{}, {[A]: {sign: 'deny'}}, 'sign', 'deny'],
    [{}, {[A]: {sign: 'deny'}}, 'login', 'ask'],
    [{}, {[A]: {login: 'once'}}, 'login', 'ask'],
    [{allowedOrigins: [A]}, {[A]: {login: 'deny'}}, 'login', 'allow'],
    [{allowedOrigins: ['https://*.example.jp']}, {}, 'password', 'allow'],
    [{allowedCapabilities: {[A]: ['login', 'sign']}}, {}, 'sign', 'allow'],
    [{allowedCapabilities: {'https://*.example.jp': ['login']}}, {}, 'personal-data', 'ask'],
    [{allowedCapabilities: {[A]: ['login']}, askUsers: false}, {[A]: {sign: 'allow'}}, 'sign', 'deny'],
    [{allowedCapabilities: {[A]: 'login'}}, {}, 'login', 'ask'],
    [{allowedCapabilities: {[A]: ['everything']}}, {}, 'login', 'ask'],
    [{blockedOrigins: [A]}, {[A]: {login: 'allow'}}, 'login', 'deny'],
    [{blockedOrigins: ['https://*.example.jp'], allowedOrigins: [A], allowedCapabilities: {[A]: ['login']}}, {},
      'login', 'deny'],
    [{askUsers: false}, {[A]: {login: 'allow'}}, 'login', 'deny'],
    [{askUsers: false, allowedOrigins: [A]}, {}, 'sign', 'allow'],
    [{allowedOrigins: 'https://a.example.jp'}, {}, 'login', 'ask'],
    [{askUsers: 'no'}, {}, 'login', 'ask'],
  ];
  for (const [managed, choices, capability, expected] of cases) {
    assert.equal(decide(A, capability, readPolicy(managed), choices), expected,
      JSON.stringify([managed, choices, capability]));
  }
});

test('status() tells "denied" only for an origin that may use nothing', () => {
  const cases = [
    [{}, {}, false],
    [{}, {[A]: {login: 'deny', sign: 'deny', 'personal-data': 'deny'}}, false],
    [{}, {[A]: ALL_DENIED}, true],
    [{blockedOrigins: [A]}, {}, true],
    [{askUsers: false}, {}, true],
    [{askUsers: false, allowedCapabilities: {[A]: ['password']}}, {}, false],
  ];
  for (const [managed, choices, denied] of cases) {
    assert.equal(deniedEverything(A, readPolicy(managed), choices), denied, JSON.stringify([managed, choices]));
  }
});

test('choices kept in the one-word form: a deny stays a deny of everything, an allow is log-in only', () => {
  const cases = [
    [{[A]: 'allow'}, {[A]: {login: 'allow'}}],
    [{[A]: 'deny'}, {[A]: ALL_DENIED}],
    [{[A]: 'once'}, {}],
    [{[A]: {login: 'allow', sign: 'once', 'personal-data': 'deny', unknown: 'allow'}},
      {[A]: {login: 'allow', 'personal-data': 'deny'}}],
    [{[A]: {}}, {}],
    ['not an object', {}],
    [undefined, {}],
  ];
  for (const [stored, choices] of cases) assert.deepEqual(readChoices(stored), choices, JSON.stringify(stored));
});

test('the developer setting is forced only by a boolean policy value', () => {
  assert.equal(readPolicy({developerMode: true}).developerMode, true);
  assert.equal(readPolicy({developerMode: false}).developerMode, false);
  assert.equal(readPolicy({developerMode: 'true'}).developerMode, undefined);
  assert.equal(readPolicy(undefined).developerMode, undefined);
});

// A storage area whose reads and writes each take a turn of the event loop, as the browser's do.
function slowArea(data) {
  const later = (value) => new Promise((resolve) => setImmediate(() => resolve(value)));
  return {
    data,
    get: (key) => later(key in data ? {[key]: structuredClone(data[key])} : {}),
    set: (items) => later(Object.assign(data, structuredClone(items))),
  };
}

test('keeps allow and deny per origin and capability, not "once"; revokes one capability; answers together lose none',
  async () => {
    const area = slowArea({consent: {'https://old.example.jp': 'allow'}});
    const store = new ConsentStore(area);
    await Promise.all([
      store.remember(A, 'login', 'allow'),
      store.remember(A, 'personal-data', 'deny'),
      store.remember('https://b.example.jp', 'sign', 'allow'),
      store.remember('https://c.example.jp', 'login', 'once'),
      store.remember('https://d.example.jp', 'login', 'once-closed'),
    ]);
    assert.deepEqual(await store.choices(), {'https://old.example.jp': {login: 'allow'},
      [A]: {login: 'allow', 'personal-data': 'deny'}, 'https://b.example.jp': {sign: 'allow'}});
    await store.revoke(A, 'login');
    await store.revoke('https://b.example.jp', 'sign');
    assert.deepEqual(area.data.consent, {'https://old.example.jp': {login: 'allow'}, [A]: {'personal-data': 'deny'}});
  });
