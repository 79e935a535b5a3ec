import assert from 'node:assert/strict';
import {createHmac} from 'node:crypto';
import {test} from 'node:test';
import {SITE_KEY_NAME, SiteUuid} from '../extension/rules/site-uuid.js';

const HOST_UUID = '3F2504E04F8911D39A0C0305E82C3301';
const memoryArea = (data = {}) => ({
  data,
  get: async (key) => (key in data ? {[key]: data[key]} : {}),
  set: async (items) => Object.assign(data, items),
});

test('each site gets its own stable value in the host\'s form; the key is made once and kept', async () => {
  const area = memoryArea();
  const sites = new SiteUuid(area);
  const a = await sites.of(HOST_UUID, 'https://a.example.jp');
  const b = await sites.of(HOST_UUID, 'https://b.example.jp');
  assert.match(a, /^[0-9A-F]{32}$/);
  assert.notEqual(a, b);
  assert.notEqual(a, HOST_UUID);
  assert.notEqual(await sites.of('00000000000000000000000000000000', 'https://a.example.jp'), a);
  const key = area.data[SITE_KEY_NAME];
  assert.match(key, /^[0-9a-f]{64}$/);
  // The value is HMAC-SHA-256 over "origin\nuuid", as documented.
  const expected = createHmac('sha256', Buffer.from(key, 'hex')).update(`https://a.example.jp\n${HOST_UUID}`).digest('hex');
  assert.equal(a, expected.slice(0, 32).toUpperCase());
  // A new background (a restarted service worker) reads the kept key.
  assert.equal(await new SiteUuid(area).of(HOST_UUID, 'https://a.example.jp'), a);
  assert.equal(area.data[SITE_KEY_NAME], key);
  // Another installation of the extension: another key, other values.
  assert.notEqual(await new SiteUuid(memoryArea()).of(HOST_UUID, 'https://a.example.jp'), a);
});

test('a kept key of another form is replaced; a failed read is tried again', async () => {
  const area = memoryArea({[SITE_KEY_NAME]: 'short'});
  await new SiteUuid(area).of(HOST_UUID, 'https://a.example.jp');
  assert.match(area.data[SITE_KEY_NAME], /^[0-9a-f]{64}$/);

  let fail = true;
  const flaky = {...memoryArea(), get: async () => { if (fail) throw new Error('storage'); return {}; }};
  const sites = new SiteUuid(flaky);
  await assert.rejects(sites.of(HOST_UUID, 'https://a.example.jp'));
  fail = false;
  assert.match(await sites.of(HOST_UUID, 'https://a.example.jp'), /^[0-9A-F]{32}$/);
});
