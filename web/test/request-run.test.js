import assert from 'node:assert/strict';
import {afterEach, beforeEach, mock, test} from 'node:test';
import {CANCEL_FLUSH_MS, HOST_EXIT_MS, RequestRun} from '../extension/rules/request-run.js';
import {readPolicy} from '../extension/rules/consent.js';
import {RequestSlot} from '../extension/rules/request-slot.js';

const ORIGIN = 'https://service.example.jp';
const SENDER = {origin: ORIGIN, tab: {id: 1}};
const LOGIN = {type: 'request', request: {mode: '01', latest_version: '1', available_version: '1', digest: 'AAE='}};
// Every run's stage timer on the fake clock, so that none outlives its test.
beforeEach(() => mock.timers.enable(['setTimeout']));
afterEach(() => mock.timers.reset());

// A run with fake browser parts; `world` records what happened to the host.
function harness({managed = {}, choices = {[ORIGIN]: 'allow'}, developerMode = false, consent = 'allow',
  slot = new RequestSlot()} = {}) {
  const world = {replies: [], hosts: [], remembered: [], consentAborted: false};
  world.consentOpened = new Promise((resolve) => { world.openConsent = resolve; });
  const deps = {
    slot,
    loadSettings: async () => ({developerMode, policy: readPolicy(managed), choices}),
    consentStore: {remember: async (origin, choice) => world.remembered.push([origin, choice])},
    askConsent: (origin, signal) => {
      world.openConsent();
      if (consent !== 'never') return Promise.resolve(consent);
      return new Promise((resolve) => signal.addEventListener('abort', () => {
        world.consentAborted = true;
        resolve('deny');
      }));
    },
    connectHost: (handlers) => {
      const host = {posted: [], closed: false, handlers, post: (m) => host.posted.push(m), close: () => { host.closed = true; }};
      world.hosts.push(host);
      return host;
    },
    probeStatus: async () => 'ready',
    reply: (message) => world.replies.push(message),
  };
  return {world, run: new RequestRun(deps), deps};
}

const last = (world) => world.replies.at(-1);

test('refused before any host starts', async () => {
  const cases = [
    ['an http origin', {}, {...SENDER, origin: 'http://service.example.jp'}, LOGIN, 'insecure-context'],
    ['localhost without the developer setting', {}, {...SENDER, origin: 'http://localhost:8080'}, LOGIN, 'insecure-context'],
    ['a blocked origin', {managed: {blockedOrigins: [ORIGIN]}}, SENDER, LOGIN, 'consent-denied'],
    ['an origin the user denied', {choices: {[ORIGIN]: 'deny'}}, SENDER, LOGIN, 'consent-denied'],
    ['no asking allowed by policy', {managed: {askUsers: false}, choices: {}}, SENDER, LOGIN, 'consent-denied'],
    ['the user denies now', {choices: {}, consent: 'deny'}, SENDER, LOGIN, 'consent-denied'],
    ['the consent window closed', {choices: {}, consent: 'once-closed'}, SENDER, LOGIN, 'consent-denied'],
    ['a page-supplied file_path', {}, SENDER, {type: 'request', request: {...LOGIN.request, file_path: 'a'}}, 'refused'],
    ['a status from a denied origin', {choices: {[ORIGIN]: 'deny'}}, SENDER, {type: 'status'}, 'consent-denied'],
  ];
  for (const [name, options, sender, message, code] of cases) {
    const {world, run} = harness(options);
    await run.start(message, sender);
    assert.equal(world.hosts.length, 0, name);
    assert.equal(last(world).type, 'error', name);
    assert.equal(last(world).code, code, name);
  }
});

test('the user\'s consent: kept for allow and deny, not for once; the host starts after allow', async () => {
  for (const [choice, started] of [['allow', true], ['once', true], ['deny', false]]) {
    const {world, run} = harness({choices: {}, consent: choice});
    await run.start(LOGIN, SENDER);
    assert.deepEqual(world.replies[0], {type: 'progress', stage: 'consent'});
    assert.equal(world.hosts.length, started ? 1 : 0, choice);
    assert.deepEqual(world.remembered, [[ORIGIN, choice]], choice);
  }
});

test('the host gets the checked request with the browser\'s origin; its answer goes back unchanged', async () => {
  const {world, run} = harness();
  await run.start({type: 'request', request: {...LOGIN.request, origin: 'https://evil.example'}}, SENDER);
  const [host] = world.hosts;
  assert.equal(host.posted[0].origin, ORIGIN);
  const answer = {mode: '01', result: '1', errcode: 'EW140-1620', extra: ['kept']};
  host.handlers.onMessage(answer);
  assert.deepEqual(last(world), {type: 'answer', answer});
  assert.equal(host.closed, true);
  assert.deepEqual(host.posted.slice(1), []);
});

test('a second request while one runs is busy, in any tab', async () => {
  const slot = new RequestSlot();
  const first = harness({slot});
  await first.run.start(LOGIN, SENDER);
  const second = harness({slot});
  await second.run.start(LOGIN, {origin: 'https://other.example.jp', tab: {id: 2}});
  assert.equal(last(second.world).code, 'busy');
  assert.equal(second.world.hosts.length, 0);
  first.world.hosts[0].handlers.onMessage({mode: '01', result: '0'});
  const third = harness({slot});
  await third.run.start(LOGIN, SENDER);
  assert.equal(third.world.hosts.length, 1);
});

test('cancel, page gone and user timeout send the cancel frame, then disconnect', async () => {
  const cases = [
    ['cancel()', (run) => run.cancel('page'), {type: 'error', code: 'cancelled'}],
    ['tab closed or navigated', (run) => run.cancel('gone'), null],
    ['user timeout', () => mock.timers.tick(300000), {type: 'error', code: 'timeout', stage: 'user'}],
  ];
  for (const [name, act, reply] of cases) {
    const slot = new RequestSlot();
    const {world, run} = harness({slot});
    await run.start(LOGIN, SENDER);
    const [host] = world.hosts;
    const repliesBefore = world.replies.length;
    act(run);
    assert.deepEqual(host.posted.slice(1), [{mode: '05'}], name);
    assert.equal(host.closed, false, name);
    mock.timers.tick(CANCEL_FLUSH_MS);
    assert.equal(host.closed, true, name);
    if (reply) assert.deepEqual({...last(world), message: undefined}, {...reply, message: undefined}, name);
    else assert.equal(world.replies.length, repliesBefore, name);
    host.handlers.onMessage({mode: '01', result: '9'});
    assert.equal(world.replies.filter((m) => m.type === 'answer').length, 0, name);
    assert.equal(slot.holder?.closing, true, name);
    mock.timers.tick(HOST_EXIT_MS);
    assert.equal(slot.holder, null, name);
  }
});

test('leaving during the consent window closes it; the host never starts', async () => {
  const {world, run} = harness({choices: {}, consent: 'never'});
  const started = run.start(LOGIN, SENDER);
  await world.consentOpened;
  run.cancel('gone');
  await started;
  assert.equal(world.consentAborted, true);
  assert.equal(world.hosts.length, 0);
  assert.deepEqual(world.remembered, []);
});

test('status: the probe\'s finding, or a host-start timeout', async () => {
  for (const [probe, reply] of [
    [async () => 'host-missing', {type: 'status', status: 'host-missing'}],
    [async () => { throw new Error('no answer'); }, {type: 'error', code: 'timeout', stage: 'hostStart'}],
  ]) {
    const {world, run, deps} = harness();
    deps.probeStatus = probe;
    await run.start({type: 'status'}, SENDER);
    assert.deepEqual({...last(world), message: undefined}, {...reply, message: undefined});
    assert.equal(world.hosts.length, 0);
  }
});

test('a host that ends without an answer: missing, or failed', async () => {
  const cases = [
    ['Specified native messaging host not found.', 'host-missing'],
    ['Access to the specified native messaging host is forbidden.', 'host-missing'],
    ['No such native application com.vandrel.kelvarist.tavori', 'host-missing'],
    ['Native host has exited.', 'failed'],
    ['', 'failed'],
  ];
  for (const [text, code] of cases) {
    const {world, run} = harness();
    await run.start(LOGIN, SENDER);
    world.hosts[0].handlers.onDisconnect(text);
    assert.equal(last(world).code, code, text);
    assert.deepEqual(world.hosts[0].posted.slice(1), [], text);
  }
});
