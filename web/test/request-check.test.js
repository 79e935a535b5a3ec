import assert from 'node:assert/strict';
import {test} from 'node:test';
import {checkRequest, MAX_REQUEST_BYTES} from '../extension/rules/request-check.js';

const ORIGIN = 'https://service.example.jp';
const login = {mode: '01', latest_version: '1', available_version: '1', digest: 'AAE='};

test('refuses what a page may not send, before the host starts', () => {
  const cases = [
    ['not an object', 'text'],
    ['null', null],
    ['an array', [login]],
    ['a class instance', new Date()],
    ['file_path', {...login, mode: '02', file_path: 'C:\\a.p12'}],
    ['file_password', {...login, mode: '02', file_password: 'secret'}],
    ['an unknown key', {...login, pin: '1234'}],
    ['a number value', {...login, latest_version: 1}],
    ['a boolean flag', {...login, city_code_flag: true}],
    ['an array outside digest', {...login, service_id: ['02']}],
    ['a digest array element that is not text', {...login, digest: ['AAE=', 5]}],
    ['a digest array element with a quote', {...login, digest: ['AA"E=']}],
    ['a digest array element with a backslash', {...login, digest: ['AA\\E=']}],
    ['no mode', {latest_version: '1', available_version: '1'}],
    ['the cancel mode', {...login, mode: '05'}],
    ['more than 1 MiB', {...login, digest: 'A'.repeat(MAX_REQUEST_BYTES)}],
  ];
  for (const [name, value] of cases) {
    const result = checkRequest(value, ORIGIN);
    assert.equal(result.ok, false, name);
    assert.equal(result.code, 'refused', name);
  }
});

test('forwards a request with "mode" first and the browser\'s origin in place of the page\'s', () => {
  const result = checkRequest({digest: ['AAE=', 'AgM='], origin: 'https://evil.example', mode: '02',
    latest_version: '1', available_version: '1', ca: '004'}, ORIGIN);
  assert.equal(result.ok, true);
  assert.deepEqual(Object.keys(result.request), ['mode', 'latest_version', 'available_version', 'ca', 'digest', 'origin']);
  assert.equal(result.request.origin, ORIGIN);
  assert.deepEqual(result.request.digest, ['AAE=', 'AgM=']);
});

test('counts the size in UTF-8 bytes with the origin included', () => {
  const room = MAX_REQUEST_BYTES - JSON.stringify({...login, language: '', origin: ORIGIN}).length;
  assert.equal(checkRequest({...login, language: 'a'.repeat(room)}, ORIGIN).ok, true);
  assert.equal(checkRequest({...login, language: 'a'.repeat(room + 1)}, ORIGIN).ok, false);
  assert.equal(checkRequest({...login, language: 'é'.repeat(Math.ceil(room / 2) + 1)}, ORIGIN).ok, false);
});
