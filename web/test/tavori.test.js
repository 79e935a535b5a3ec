import assert from 'node:assert/strict';
import {afterEach, beforeEach, mock, test} from 'node:test';
import * as tavori from '../tavori.js';

test('host error codes map to their typed families', () => {
  const cases = [
    ['EW040-0200', 'busy'],
    ['EW140-1620', 'password'], ['EW240-0820', 'password'], ['EW140-1600', 'password'],
    ['EW640-2746', 'password'], ['EW640-3141', 'password'], ['EW644-3152', 'password'], ['EWD44-4650', 'password'],
    ['EW042-1201', 'refused'], ['EW142-1200', 'refused'], ['EWC42-1200', 'refused'], ['EW042-1208', 'refused'],
    ['EW144-0430', 'version'], ['EW044-1230', 'version'],
    ['EW140-1510', 'card'], ['EW340-2011', 'card'], ['EW144-1500', 'card'], ['EW344-2203', 'card'],
    ['EWC40-3910', 'card'], ['EW244-3300', 'card'], ['EW144-3A02', 'card'], ['EWC40-4110', 'card'],
    ['EW044-1299', 'failed'], ['EW144-3A99', 'failed'], ['EW144-1301', 'failed'], ['EW144-0300', 'failed'],
    ['EW042-2401', 'failed'], ['EW054-0001', 'failed'], ['EW054-0002', 'failed'], ['', 'failed'], ['nonsense', 'failed'],
  ];
  for (const [code, family] of cases) assert.equal(tavori.familyOfCode(code), family, code);
});

test('answers become results or typed errors carrying the host\'s values', () => {
  const cases = [
    [{mode: '01', result: '0'}, null],
    [{mode: '01', result: '9'}, {code: 'user-cancelled', result: '9'}],
    [{mode: '01', result: '8'}, {code: 'password-change-chosen', result: '8'}],
    [{mode: '01', result: '1', errcode: 'EW140-1620'}, {code: 'password', result: '1', errcode: 'EW140-1620'}],
    [{mode: '01', result: '1'}, {code: 'failed', result: '1', errcode: ''}],
    [{mode: '01', result: '7'}, {code: 'failed', result: '7'}],
    [null, {code: 'failed'}],
  ];
  for (const [answer, expected] of cases) {
    const error = tavori.errorForAnswer(answer);
    if (expected === null) { assert.equal(error, null); continue; }
    assert.ok(error instanceof tavori.TavoriError);
    for (const [key, value] of Object.entries(expected)) assert.equal(error[key], value, `${JSON.stringify(answer)} ${key}`);
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
