import assert from 'node:assert/strict';
import {afterEach, beforeEach, mock, test} from 'node:test';
import {mkdtempSync, readFileSync, writeFileSync} from 'node:fs';
import {tmpdir} from 'node:os';
import path from 'node:path';
import {pathToFileURL} from 'node:url';
import {loadTrustAnchors, verifyLogin} from '../../server/index.js';
import * as tavori from '../tavori.js';
import {BAD_CHALLENGES, GOOD_CHALLENGES} from './challenge-cases.js';

// The family every message of the host's code table stands for: what the user
// was told is what the page is told.
const FAMILY_OF_MESSAGE = new Map([
  ...[2001, 2002, 2028, 2029].map((id) => [id, 'version']), // a newer version exists, or this one may not be used
  ...[2004, 2020, 2021, 2057, 2058, 2059, 2060, 2063, 2064, 2066, 2067].map((id) => [id, 'card']),
  ...[2008, 2009, 2010, 2019, 2041, 2042, 2043, 2044, 2045, 2046, 2047, 2052, 2053, 2054, 2056, 2075, 2076, 2077,
    2079].map((id) => [id, 'password']),
  [2014, 'refused'], [2016, 'refused'], // started directly; the request's values
  [2015, 'busy'],
  [2017, 'failed'], [2022, 'failed'], // application data unreadable; an unexpected failure
  [2026, 'failed'], [2027, 'failed'], // the page left (never answered); a failure while ending
]);

test('every code of the host\'s table maps to the family of its message', () => {
  const table = readFileSync(new URL('../../host/state/error_code_table.inc', import.meta.url), 'utf8');
  const rows = [...table.matchAll(/^TAV_ERROR_CODE\("(EW[^"]+)", (\d+), "\d"\)$/gm)];
  assert.ok(rows.length > 250, `only ${rows.length} codes read`);
  for (const [, code, message] of rows) {
    assert.ok(FAMILY_OF_MESSAGE.has(Number(message)), `${code}: message ${message} has no family here`);
    assert.equal(tavori.familyOfCode(code), FAMILY_OF_MESSAGE.get(Number(message)), `${code} (message ${message})`);
  }
});

test('codes outside the host\'s table: the wrapper\'s, unknown and malformed ones fail', () => {
  for (const code of ['EW054-0001', 'EW054-0002', 'EW044-0499', 'EW099-1200', 'ew040-0200', '', 'nonsense', undefined, 42]) {
    assert.equal(tavori.familyOfCode(code), 'failed', String(code));
  }
});

test('answers become results or typed errors carrying the host\'s values', () => {
  const cases = [
    [{mode: '01', result: '0'}, null],
    [{mode: '01', result: '9'}, {code: 'user-cancelled', result: '9'}],
    [{mode: '01', result: '8'}, {code: 'password-change-chosen', result: '8'}],
    [{mode: '01', result: '1', errcode: 'EW140-1620'}, {code: 'password', result: '1', errcode: 'EW140-1620'}],
    [{mode: '01', result: '1'}, {code: 'failed', result: '1', errcode: undefined}],
    [{mode: '01', result: '1', errcode: 7}, {code: 'failed', result: '1', errcode: undefined}],
    [{mode: '01', result: '7'}, {code: 'failed', result: '7'}],
    [null, {code: 'failed'}],
  ];
  for (const [answer, expected] of cases) {
    const error = tavori.errorForAnswer(answer);
    if (expected === null) { assert.equal(error, null); continue; }
    assert.ok(error instanceof tavori.TavoriError);
    for (const [key, value] of Object.entries(expected)) {
      if (value === undefined) assert.ok(!(key in error), `${JSON.stringify(answer)} has no ${key}`);
      else assert.equal(error[key], value, `${JSON.stringify(answer)} ${key}`);
    }
  }
});

test('digests become the SHA-256 DigestInfo the card signs; calls without usable digests are refused', async () => {
  const hash = new Uint8Array(32).fill(7);
  const info = tavori.digestInfo(hash);
  assert.equal(Buffer.from(info.subarray(0, 19)).toString('hex'), '3031300d060960864801650304020105000420');
  assert.deepEqual(info.subarray(19), hash);
  assert.deepEqual(tavori.digestInfo(info.buffer), info);
  for (const bad of [new Uint8Array(31), new Uint8Array(51), new Uint8Array(20), 'text', [1, 2]]) {
    assert.throws(() => tavori.digestInfo(bad), {code: 'refused'});
  }
  await assert.rejects(tavori.login(), {code: 'refused'});
  await assert.rejects(tavori.sign({digests: []}), {code: 'refused'});
  await assert.rejects(tavori.signGpki({digests: [hash, new Uint8Array(3)]}), {code: 'refused'});
});

// Lets the library's awaited steps go on while the clock is the test's.
async function settle() {
  for (let turn = 0; turn < 20; turn += 1) await Promise.resolve();
}

// A page window and, optionally, an extension that answers each request.
function fakeWindow({secure = true, extension = null} = {}) {
  const target = new EventTarget();
  const page = Object.assign(target, {
    isSecureContext: secure,
    location: {origin: 'https://service.example.jp'},
    sent: [],
    postMessage(data) {
      if (data.from === 'page') page.sent.push(data);
      queueMicrotask(() => target.dispatchEvent(Object.assign(new Event('message'), {data, source: page})));
      if (extension && data.from === 'page') {
        for (const reply of extension(data)) page.postMessage({...reply, ns: data.ns, from: 'extension', id: data.id});
      }
    },
  });
  return page;
}

beforeEach(() => mock.timers.enable(['setTimeout']));
afterEach(() => { mock.timers.reset(); delete globalThis.window; });

test('the library\'s own checks: insecure page, missing extension, a second call while one runs', async () => {
  globalThis.window = fakeWindow({secure: false});
  await assert.rejects(tavori.status(), {code: 'insecure-context'});

  globalThis.window = fakeWindow();
  const pending = tavori.status();
  mock.timers.tick(1000);
  assert.equal(await pending, 'extension-missing');

  globalThis.window = fakeWindow({extension: (m) => (m.type === 'request' ? [{type: 'ack'}, {type: 'progress', stage: 'host'}] : [])});
  const first = tavori.changePassword();
  await assert.rejects(tavori.changePassword(), {code: 'busy'});
  tavori.cancel();
  assert.deepEqual(globalThis.window.sent.map((m) => m.type), ['request', 'cancel']);
  globalThis.window.postMessage({ns: globalThis.window.sent[0].ns, from: 'extension', id: globalThis.window.sent[0].id,
    type: 'error', code: 'cancelled', message: 'x'});
  await assert.rejects(first, {code: 'cancelled'});
});

test('requests carry Base64 DigestInfo and named flags; answers come back as bytes and named values', async () => {
  const cert = Buffer.from([0x30, 0x03, 0x02, 0x01, 0x05]);
  const extension = (m) => [{type: 'ack'}, {type: 'answer', answer: {mode: '01', result: '0', uuid: 'u',
    signature: 'AQID', certificate: cert.toString('base64'), city_code: '00112233aa'}}];
  globalThis.window = fakeWindow({extension});
  const result = await tavori.login({digest: new Uint8Array(32), cityCode: true, serviceId: '02', language: 'en'});
  assert.deepEqual(globalThis.window.sent[0].request, {mode: '01', latest_version: '1', available_version: '1',
    service_id: '02', digest: Buffer.from(tavori.digestInfo(new Uint8Array(32))).toString('base64'),
    language: 'en', city_code_flag: 'true'});
  assert.deepEqual(result, {signature: Uint8Array.from([1, 2, 3]), certificate: new Uint8Array(cert), uuid: 'u', cityCode: '00112233aa'});

  const hex = (text) => Buffer.from(text).toString('hex');
  globalThis.window = fakeWindow({extension: () => [{type: 'ack'}, {type: 'answer', answer: {mode: '03', result: '0', uuid: 'u',
    mynumber: hex('123456789012'), name: hex('番号 花子'), sex: hex('2'), address: hex('東京都'), birthday: hex('19800101')}}]});
  assert.deepEqual(await tavori.readCard({individualNumber: true}), {name: '番号 花子', address: '東京都',
    birthday: '19800101', sex: '2', individualNumber: '123456789012', uuid: 'u'});
});

test('a success answer that lacks or garbles an item fails with a TavoriError; absent options stay absent', async () => {
  const hex = (text) => Buffer.from(text).toString('hex');
  const signed = {mode: '02', result: '0', uuid: 'U', signature: ['AQID'], certificate: 'MAMCAQU='};
  const card = {mode: '04', result: '0', uuid: 'U', name: hex('番号 花子'), sex: hex('2'), address: hex('東京都'),
    birthday: hex('19800101')};
  const hash = new Uint8Array(32);
  const calls = {
    login: () => tavori.login({digest: hash}),
    sign: () => tavori.sign({digests: [hash]}),
    readCard: () => tavori.readCard(),
    readCardWithNumber: () => tavori.readCard({individualNumber: true}),
    changePassword: () => tavori.changePassword(),
  };
  const cases = [
    ['login', {...signed, mode: '01', signature: undefined}],
    ['login', {...signed, mode: '01', signature: 'AQID', certificate: 'not base64!'}],
    ['login', {...signed, mode: '01', signature: ''}],
    ['login', {...signed, mode: '01', signature: 'AQID', city_code: 5}],
    ['sign', {...signed, signature: undefined}],
    ['sign', {...signed, signature: ['AQID', 'AQID']}],
    ['sign', {...signed, signature: ['AQ=D']}],
    ['sign', {...signed, uuid: undefined}],
    ['readCard', {...card, name: undefined}],
    ['readCard', {...card, address: 'zz'}],
    ['readCard', {...card, birthday: 'abc'}],
    ['readCardWithNumber', card],
    ['changePassword', {mode: '06', result: '0'}],
  ];
  for (const [call, answer] of cases) {
    globalThis.window = fakeWindow({extension: () => [{type: 'ack'}, {type: 'answer', answer}]});
    await assert.rejects(calls[call](), (error) => error instanceof tavori.TavoriError && error.code === 'failed',
      `${call} ${JSON.stringify(answer)}`);
  }
  globalThis.window = fakeWindow({extension: () => [{type: 'ack'}, {type: 'answer', answer: card}]});
  const read = await tavori.readCard();
  assert.deepEqual(Object.keys(read).sort(), ['address', 'birthday', 'name', 'sex', 'uuid']);
});

// The integration example of web/README.md, run as a service would: its own
// names (showInstallHelp, showMessage, fetch to its server) record what the example did.
test('the README\'s example runs as written, whatever status(), authenticate() and the server give', async (t) => {
  const example = readFileSync(new URL('../README.md', import.meta.url), 'utf8').match(/```js\n([\s\S]*?)```/)[1];
  const file = path.join(mkdtempSync(path.join(tmpdir(), 'tavori-example-')), 'example.mjs');
  writeFileSync(file, `${example.replace(/from '[^']*tavori\.js'/, `from '${new URL('../tavori.js', import.meta.url)}'`)}
export {logIn};\n`);
  const {logIn} = await import(pathToFileURL(file));
  const done = [];
  let serverAccepts = true;
  const service = {showInstallHelp: () => done.push('install help'),
    showMessage: (code, errcode) => done.push(`message ${code} ${errcode}`),
    fetch: async (url, {body} = {}) => {
      if (url === '/login/challenge') return {ok: true, json: async () => ({challenge: GOOD_CHALLENGES[0]})};
      done.push(`${url} ${Object.keys(JSON.parse(body))}`);
      return {ok: serverAccepts, json: async () => ({code: 'signature'})};
    }};
  const kept = Object.fromEntries(Object.keys(service).map((name) => [name, globalThis[name]]));
  Object.assign(globalThis, service);
  t.after(() => Object.assign(globalThis, kept));
  const answer = {type: 'answer', origin: 'https://service.example.jp', answer: {mode: '01', result: '0', uuid: 'U',
    signature: 'AQID', certificate: 'MAMCAQU='}};
  const posted = '/login format,origin,certificate,signature,algorithm';
  const cases = [
    [{type: 'status', status: 'ready'}, answer, true, [posted]],
    [{type: 'status', status: 'ready'}, answer, false, [posted, 'message signature undefined']],
    [{type: 'status', status: 'host-missing'}, null, true, ['install help']],
    [{type: 'error', code: 'consent-denied', message: 'x'}, null, true, ['message consent-denied undefined']],
    [{type: 'status', status: 'ready'}, {type: 'answer', answer: {mode: '01', result: '1', errcode: 'EW140-1620'}},
      true, ['message password EW140-1620']],
  ];
  for (const [statusReply, loginReply, accepts, expected] of cases) {
    done.length = 0;
    serverAccepts = accepts;
    globalThis.window = fakeWindow({extension: (m) => [{type: 'ack'}, m.type === 'status' ? statusReply : loginReply]});
    await logIn();
    assert.deepEqual(done, expected, JSON.stringify([statusReply, accepts]));
  }
});

test('the library\'s own limits: a sandboxed frame is refused; the stages it watches keep the extension\'s bounds',
  async () => {
    globalThis.window = Object.assign(fakeWindow(), {origin: 'null'});
    await assert.rejects(tavori.status(), {code: 'insecure-context'});
    assert.deepEqual(globalThis.window.sent, []);

    // timeouts asked for, what the extension answers, ms until the call settles, how.
    const cases = [
      [{ack: 1e12}, () => [], 10000, 'extension-missing'],
      [{ack: -5}, () => [], 200, 'extension-missing'],
      [null, () => [], 1000, 'extension-missing'],
      [{hostStart: 1e12}, () => [{type: 'ack'}], 62000, 'timeout'],
      [{hostStart: 10}, () => [{type: 'ack'}], 3000, 'timeout'],
    ];
    for (const [timeouts, extension, ms, code] of cases) {
      globalThis.window = fakeWindow({extension});
      let outcome = 'pending';
      tavori.login({digest: new Uint8Array(32), timeouts}).catch((error) => { outcome = error.code; });
      await settle();
      mock.timers.tick(ms - 1);
      await settle();
      assert.equal(outcome, 'pending', JSON.stringify(timeouts));
      mock.timers.tick(1);
      await settle();
      assert.equal(outcome, code, JSON.stringify(timeouts));
    }
    globalThis.window = fakeWindow({extension: () => [{type: 'ack'}, {type: 'status', status: 'ready'}]});
    await tavori.status({timeouts: {ack: 500, user: 'long', hostStart: () => 1}});
    assert.deepEqual(globalThis.window.sent[0].timeouts, {ack: 500});
  });

test('authenticate(): a challenge that is none, or a digest, is refused before anything is sent', async () => {
  globalThis.window = fakeWindow({extension: () => [{type: 'ack'}]});
  for (const [name, challenge] of BAD_CHALLENGES) {
    await assert.rejects(tavori.authenticate({challenge}), {code: 'refused'}, name);
  }
  await assert.rejects(tavori.authenticate({challenge: GOOD_CHALLENGES[0], digest: new Uint8Array(32)}), {code: 'refused'});
  assert.deepEqual(globalThis.window.sent, []);
});

// The virtual card's log-in of the server's vectors, as the extension would answer it.
const vector = JSON.parse(readFileSync(new URL('../../server/vectors/login-valid.json', import.meta.url), 'utf8'));
const vectorAnswer = {mode: '01', result: '0', uuid: 'SITE-UUID', certificate: vector.token.certificate,
  signature: vector.token.signature, combination_code: vector.token.combinationCode, city_code: vector.token.cityCode};

test('authenticate(): the token the server verifies, with the origin the extension used; the uuid beside it',
  async () => {
    // The same bytes in another spelling: the token carries the one spelling.
    const [, data, last, padding] = /^(.*)([^=])(=+)$/.exec(vector.token.signature);
    const alphabet = 'ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/';
    const respelled = `${data}${alphabet[alphabet.indexOf(last) | 1]}${padding}`;
    assert.notEqual(respelled, vector.token.signature);
    globalThis.window = fakeWindow({extension: () => [{type: 'ack'},
      {type: 'answer', answer: {...vectorAnswer, signature: respelled}, origin: vector.origin}]});
    const challenge = vector.challenge.value;
    const result = await tavori.authenticate({challenge, cityCode: true, combinationCode: true});
    const [sent] = globalThis.window.sent;
    assert.equal(sent.type, 'authenticate');
    assert.deepEqual(sent.request, {mode: '01', latest_version: '1', available_version: '1',
      combination_code_flag: 'true', city_code_flag: 'true', challenge});
    assert.deepEqual(result, {token: vector.token, uuid: 'SITE-UUID'});
    const verified = await verifyLogin(JSON.parse(JSON.stringify(result.token)), {origin: vector.origin,
      trustAnchors: loadTrustAnchors(vector.trustAnchors.map((anchor) => Buffer.from(anchor, 'base64'))),
      now: new Date(vector.now), challenge: {challenge, expiresAt: Date.parse(vector.challenge.expiresAt)}});
    assert.equal(verified.serialNumber, vector.expected.result.serialNumber);
  });

test('authenticate(): an answer the token cannot carry fails; one run at a time with the other calls', async () => {
  const cases = [
    ['no origin', vectorAnswer, undefined],
    ['an origin that is no text', vectorAnswer, 7],
    ['no uuid', {...vectorAnswer, uuid: undefined}, vector.origin],
    ['no signature', {...vectorAnswer, signature: undefined}, vector.origin],
    ['a combination code in capitals', {...vectorAnswer, combination_code: vectorAnswer.combination_code.toUpperCase()},
      vector.origin],
    ['a city code of other digits', {...vectorAnswer, city_code: 'a1a2a3a4a5'}, vector.origin],
  ];
  for (const [name, answer, origin] of cases) {
    globalThis.window = fakeWindow({extension: () => [{type: 'ack'}, {type: 'answer', answer, origin}]});
    await assert.rejects(tavori.authenticate({challenge: GOOD_CHALLENGES[0]}), {code: 'failed'}, name);
  }
  globalThis.window = fakeWindow({extension: () => [{type: 'ack'}]});
  tavori.changePassword().catch(() => {});
  await assert.rejects(tavori.authenticate({challenge: GOOD_CHALLENGES[0]}), {code: 'busy'});
  tavori.cancel();
});

test('versions(): the library\'s, as its package names it, and the extension\'s, or null without one', async () => {
  const {version} = JSON.parse(readFileSync(new URL('../package.json', import.meta.url), 'utf8'));
  assert.equal(tavori.VERSION, version);
  globalThis.window = fakeWindow({extension: () => [{type: 'ack'}, {type: 'version', version: '1.2.3'}]});
  assert.deepEqual(await tavori.versions(), {library: version, extension: '1.2.3'});
  globalThis.window = fakeWindow();
  const pending = tavori.versions();
  mock.timers.tick(1000);
  assert.deepEqual(await pending, {library: version, extension: null});
  globalThis.window = fakeWindow({secure: false});
  await assert.rejects(tavori.versions(), {code: 'insecure-context'});
});
