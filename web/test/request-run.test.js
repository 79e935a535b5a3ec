import assert from 'node:assert/strict';
import {afterEach, beforeEach, mock, test} from 'node:test';
import {CANCEL_FLUSH_MS, HOST_EXIT_MS, RequestRun} from '../extension/rules/request-run.js';
import {challengeBytes, loginDigestInfo} from '../extension/rules/login-challenge.js';
import {readChoices, readPolicy} from '../extension/rules/consent.js';
import {RequestSlot} from '../extension/rules/request-slot.js';

const ORIGIN = 'https://service.example.jp';
const OTHER = 'https://other.example.jp';
const SENDER = {origin: ORIGIN, tab: {id: 1}};
const LOGIN = {type: 'request', request: {mode: '01', latest_version: '1', available_version: '1', digest: 'AAE='}};
const READ_CARD = {type: 'request', request: {mode: '04', latest_version: '1', available_version: '1'}};
const ALLOWED = {[ORIGIN]: {login: 'allow'}, [OTHER]: {login: 'allow'}};
// Every run's stage timer on the fake clock, so that none outlives its test.
beforeEach(() => mock.timers.enable(['setTimeout']));
afterEach(() => mock.timers.reset());

// Lets the runs' awaited steps go on: the fakes answer in microtasks, and the
// clock (setImmediate too) is the test's.
async function settle() {
  for (let turn = 0; turn < 20; turn += 1) await Promise.resolve();
}

// A run with fake browser parts; `world` records what happened. consent: the
// window's answer, or 'wait' (world.answer(choice) gives it; closing the window
// answers 'deny'). shared: the slot and the open consent windows of all runs.
function harness({managed = {}, choices = ALLOWED, developerMode = false, consent = 'allow',
  shared = {slot: new RequestSlot(), consentWindows: new Set()}, loadSettings} = {}) {
  const world = {replies: [], hosts: [], remembered: [], asked: [], consentAborted: false};
  const deps = {
    ...shared,
    loadSettings: loadSettings || (async () => ({developerMode, policy: readPolicy(managed), choices: readChoices(choices)})),
    consentStore: {remember: async (...choice) => world.remembered.push(choice)},
    askConsent: (question, signal) => {
      world.asked.push(question);
      if (consent !== 'wait') return Promise.resolve(consent);
      return new Promise((resolve) => {
        world.answer = resolve;
        signal.addEventListener('abort', () => {
          world.consentAborted = true;
          resolve('deny');
        });
      });
    },
    connectHost: (handlers) => {
      const host = {posted: [], closed: false, handlers, post: (m) => host.posted.push(m), close: () => { host.closed = true; }};
      world.hosts.push(host);
      return host;
    },
    probeStatus: async () => 'ready',
    siteUuid: async (uuid, origin) => `${uuid} for ${origin}`,
    reply: (message) => world.replies.push(message),
  };
  return {world, run: new RequestRun(deps), deps};
}

const last = (world) => world.replies.at(-1);
const withoutMessage = (reply) => ({...reply, message: undefined});

test('refused before any host starts', async () => {
  const cases = [
    ['an http origin', {}, {...SENDER, origin: 'http://service.example.jp'}, LOGIN, 'insecure-context'],
    ['localhost without the developer setting', {}, {...SENDER, origin: 'http://localhost:8080'}, LOGIN, 'insecure-context'],
    ['a blocked origin', {managed: {blockedOrigins: [ORIGIN]}}, SENDER, LOGIN, 'consent-denied'],
    ['a capability the user denied', {choices: {[ORIGIN]: {login: 'deny'}}}, SENDER, LOGIN, 'consent-denied'],
    ['no asking allowed by policy', {managed: {askUsers: false}, choices: {}}, SENDER, LOGIN, 'consent-denied'],
    ['a capability the policy does not allow, no asking', {managed: {askUsers: false,
      allowedCapabilities: {[ORIGIN]: ['login']}}}, SENDER, READ_CARD, 'consent-denied'],
    ['the user denies now', {choices: {}, consent: 'deny'}, SENDER, LOGIN, 'consent-denied'],
    ['the consent window closed', {choices: {}, consent: 'once-closed'}, SENDER, LOGIN, 'consent-denied'],
    ['a page-supplied file_path', {}, SENDER, {type: 'request', request: {...LOGIN.request, file_path: 'a'}}, 'refused'],
    ['a status from an origin denied everything', {choices: {[ORIGIN]: 'deny'}}, SENDER, {type: 'status'},
      'consent-denied'],
  ];
  for (const [name, options, sender, message, code] of cases) {
    const {world, run} = harness(options);
    await run.start(message, sender);
    assert.equal(world.hosts.length, 0, name);
    assert.equal(last(world).type, 'error', name);
    assert.equal(last(world).code, code, name);
  }
});

test('consent per capability: a site allowed to log in is asked before it reads the card; allow and deny are kept',
  async () => {
    for (const [choice, started] of [['allow', true], ['once', true], ['deny', false]]) {
      const {world, run} = harness({consent: choice});
      await run.start(READ_CARD, SENDER);
      assert.deepEqual(world.asked, [{origin: ORIGIN, capability: 'personal-data', mode: '04'}], choice);
      assert.deepEqual(world.replies[0], {type: 'progress', stage: 'consent'});
      assert.equal(world.hosts.length, started ? 1 : 0, choice);
      assert.deepEqual(world.remembered, [[ORIGIN, 'personal-data', choice]], choice);
    }
    const {world, run} = harness({managed: {allowedCapabilities: {[ORIGIN]: ['personal-data']}}, choices: {}});
    await run.start(READ_CARD, SENDER);
    assert.deepEqual([world.asked, world.hosts.length], [[], 1]);
  });

test('the host gets the checked request with the browser\'s origin; its answer comes back with the site\'s own uuid',
  async () => {
    for (const [answer, shown] of [
      [{mode: '01', result: '1', errcode: 'EW140-1620', extra: ['kept']}, null],
      [{mode: '01', result: '0', uuid: '0123456789ABCDEF0123456789ABCDEF', signature: 'AQID'},
        {mode: '01', result: '0', uuid: `0123456789ABCDEF0123456789ABCDEF for ${ORIGIN}`, signature: 'AQID'}],
    ]) {
      const {world, run} = harness();
      await run.start({type: 'request', request: {...LOGIN.request, origin: 'https://evil.example'}}, SENDER);
      const [host] = world.hosts;
      assert.equal(host.posted[0].origin, ORIGIN);
      await host.handlers.onMessage(answer);
      host.handlers.onDisconnect('Native host has exited.');
      assert.deepEqual(world.replies.slice(1), [{type: 'answer', answer: shown ?? answer, origin: ORIGIN}]);
      assert.equal(host.closed, true);
      assert.deepEqual(host.posted.slice(1), []);
    }
  });

test('an authenticate: the host signs what the extension made from the browser\'s origin, asked as a log-in',
  async () => {
    const challenge = Buffer.from(new Uint8Array(32).fill(9)).toString('base64url');
    const {world, run} = harness({choices: {}});
    const {digest, ...request} = LOGIN.request;
    await run.start({type: 'authenticate', request: {...request, challenge, origin: OTHER}}, SENDER);
    assert.deepEqual(world.asked.map((question) => question.capability), ['login']);
    const made = Buffer.from(await loginDigestInfo(ORIGIN, challengeBytes(challenge))).toString('base64');
    assert.deepEqual(world.hosts[0].posted, [{...request, digest: made, origin: ORIGIN}]);

    // What a page shapes itself: a challenge in an ordinary request, a digest in an authenticate.
    for (const message of [{type: 'request', request: {...LOGIN.request, challenge}},
      {type: 'authenticate', request: LOGIN.request}]) {
      const refused = harness({choices: {}});
      await refused.run.start(message, SENDER);
      assert.equal(last(refused.world).code, 'refused', JSON.stringify(message));
      assert.deepEqual([refused.world.asked, refused.world.hosts], [[], []]);
    }
  });

test('a second request while the host runs is busy, in any tab', async () => {
  const shared = {slot: new RequestSlot(), consentWindows: new Set()};
  const first = harness({shared});
  await first.run.start(LOGIN, SENDER);
  const second = harness({shared});
  await second.run.start(LOGIN, {origin: OTHER, tab: {id: 2}});
  assert.equal(last(second.world).code, 'busy');
  assert.equal(second.world.hosts.length, 0);
  await first.world.hosts[0].handlers.onMessage({mode: '01', result: '0'});
  const third = harness({shared});
  await third.run.start(LOGIN, SENDER);
  assert.equal(third.world.hosts.length, 1);
});

test('a site waiting for consent holds no slot; its second request while the window is open is busy', async () => {
  const shared = {slot: new RequestSlot(), consentWindows: new Set()};
  const asking = harness({shared, choices: {}, consent: 'wait'});
  const waiting = asking.run.start(LOGIN, SENDER);
  await settle();
  assert.equal(asking.world.asked.length, 1);

  const other = harness({shared});
  await other.run.start(LOGIN, {origin: OTHER, tab: {id: 2}});
  assert.equal(other.world.hosts.length, 1, 'another site is served meanwhile');

  const again = harness({shared, choices: {}});
  await again.run.start(READ_CARD, {...SENDER, tab: {id: 3}});
  assert.equal(last(again.world).code, 'busy');
  assert.deepEqual(again.world.asked, [], 'no second window for the site');

  asking.world.answer('once');
  await waiting;
  assert.equal(last(asking.world).code, 'busy', 'the slot is still the other site\'s');
  await other.world.hosts[0].handlers.onMessage({mode: '01', result: '0'});
  const later = harness({shared, choices: {}});
  await later.run.start(LOGIN, SENDER);
  assert.deepEqual([later.world.asked.length, later.world.hosts.length], [1, 1], 'the window closed: asked anew');
});

test('cancel, page gone and user timeout send the cancel frame, then disconnect', async () => {
  const cases = [
    ['cancel()', (run) => run.cancel('page'), {type: 'error', code: 'cancelled'}],
    ['tab closed or navigated', (run) => run.cancel('gone'), null],
    ['user timeout', () => mock.timers.tick(300000), {type: 'error', code: 'timeout', stage: 'user'}],
  ];
  for (const [name, act, reply] of cases) {
    const slot = new RequestSlot();
    const {world, run} = harness({shared: {slot, consentWindows: new Set()}});
    await run.start(LOGIN, SENDER);
    const [host] = world.hosts;
    const repliesBefore = world.replies.length;
    act(run);
    assert.deepEqual(host.posted.slice(1), [{mode: '05'}], name);
    assert.equal(host.closed, false, name);
    mock.timers.tick(CANCEL_FLUSH_MS);
    assert.equal(host.closed, true, name);
    if (reply) assert.deepEqual(withoutMessage(last(world)), withoutMessage(reply), name);
    else assert.equal(world.replies.length, repliesBefore, name);
    await host.handlers.onMessage({mode: '01', result: '9'});
    assert.equal(world.replies.filter((m) => m.type === 'answer').length, 0, name);
    assert.equal(slot.holder?.closing, true, name);
    mock.timers.tick(HOST_EXIT_MS);
    assert.equal(slot.holder, null, name);
  }
});

test('stages: the consent window and the host share one user limit; hostStart bounds what comes before', async () => {
  // The user takes 200 s of a 300 s limit to allow: the host has the 100 s left.
  const asked = harness({choices: {}, consent: 'wait'});
  const started = asked.run.start(LOGIN, SENDER);
  await settle();
  mock.timers.tick(200000);
  asked.world.answer('once');
  await started;
  assert.equal(asked.world.hosts.length, 1);
  mock.timers.tick(99999);
  assert.equal(last(asked.world).type, 'progress');
  mock.timers.tick(1);
  assert.deepEqual(withoutMessage(last(asked.world)), {type: 'error', code: 'timeout', stage: 'user', message: undefined});

  // Settings that never come, and a status probe that never answers: the page's hostStart.
  for (const [message, options] of [
    [{...LOGIN, timeouts: {hostStart: 2000}}, {loadSettings: () => new Promise(() => {})}],
    [{type: 'status', timeouts: {hostStart: 2000}}, {}],
  ]) {
    const {world, run, deps} = harness(options);
    deps.probeStatus = () => new Promise(() => {});
    run.start(message, SENDER);
    await settle();
    mock.timers.tick(1999);
    assert.equal(world.replies.length, 0, message.type);
    mock.timers.tick(1);
    assert.deepEqual(withoutMessage(last(world)), {type: 'error', code: 'timeout', stage: 'hostStart', message: undefined},
      message.type);
    assert.equal(world.hosts.length, 0);
  }
});

test('leaving during the consent window closes it; the host never starts', async () => {
  const {world, run, deps} = harness({choices: {}, consent: 'wait'});
  const started = run.start(LOGIN, SENDER);
  await settle();
  run.cancel('gone');
  await started;
  assert.equal(world.consentAborted, true);
  assert.equal(world.hosts.length, 0);
  assert.deepEqual(world.remembered, []);
  assert.equal(deps.consentWindows.size, 0);
});

test('status: the probe\'s finding', async () => {
  for (const status of ['ready', 'host-missing']) {
    const {world, run, deps} = harness({choices: {}});
    deps.probeStatus = async () => status;
    await run.start({type: 'status'}, SENDER);
    assert.deepEqual(last(world), {type: 'status', status});
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
