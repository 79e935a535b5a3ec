import assert from 'node:assert/strict';
import {test} from 'node:test';
import {judgeOrigin, originMatches, originOfSender} from '../extension/rules/origin-rules.js';
import {registrableSplit} from '../extension/rules/origin-display.js';
import {parseOrigin} from '../extension/rules/origin-form.js';
import {readCases} from './case-file.js';

test('only https, and http on this machine with the developer setting', () => {
  const cases = [
    // origin, developer setting, allowed
    ['https://service.example.jp', false, true],
    ['https://xn--eckwd4c7c.xn--zckzah:8443', false, true],
    ['http://service.example.jp', true, false],
    ['http://localhost:8080', false, false],
    ['http://localhost:8080', true, true],
    ['http://127.0.0.1:18777', true, true],
    ['http://[::1]:8080', true, true],
    ['http://[::1]:8080', false, false],
    [undefined, true, false],
    [42, true, false],
  ];
  for (const [origin, developerMode, allowed] of cases) {
    const result = judgeOrigin(origin, {developerMode});
    assert.equal(result.ok, allowed, `${origin} (developer setting ${developerMode})`);
    if (!allowed) assert.equal(result.code, 'insecure-context');
  }
});

test('the one origin form TAV takes too: the shared cases', () => {
  const cases = readCases('request_origins.txt');
  assert.ok(cases.length > 0);
  for (const {number, fields: [verb, origin = '', host, port = '', ...rest]} of cases) {
    const where = `request_origins.txt:${number} ${JSON.stringify(origin)}`;
    assert.deepEqual(rest, [], where);
    const judged = judgeOrigin(origin, {developerMode: true});
    if (verb === 'take') {
      assert.deepEqual(parseOrigin(origin), {scheme: origin.slice(0, origin.indexOf(':')), host, port}, where);
      assert.deepEqual(judged, {ok: true}, where);
    } else {
      assert.equal(verb, 'refuse', where);
      assert.equal(host, undefined, where);
      assert.equal(parseOrigin(origin), null, where);
      assert.equal(judged.code, 'insecure-context', where);
    }
  }
});

test('the origin comes from the sending frame as the browser reports it', () => {
  const cases = [
    [{origin: 'https://a.example.jp', url: 'https://b.example.jp/x'}, 'https://a.example.jp'],
    [{url: 'https://b.example.jp:444/x?y'}, 'https://b.example.jp:444'],
    [{url: 'not a url'}, null],
    [{}, null],
    [undefined, null],
  ];
  for (const [sender, origin] of cases) assert.equal(originOfSender(sender), origin, JSON.stringify(sender));
});

test('policy patterns: exact origins and host wildcards', () => {
  const cases = [
    ['https://a.example.jp', 'https://a.example.jp', true],
    ['https://a.example.jp:8443', 'https://a.example.jp', false],
    ['https://a.example.jp', 'https://*.example.jp', true],
    ['https://example.jp', 'https://*.example.jp', true],
    ['https://badexample.jp', 'https://*.example.jp', false],
    ['http://a.example.jp', 'https://*.example.jp', false],
    ['https://a.example.jp', '*', false],
    ['https://a.example.jp', 42, false],
  ];
  for (const [origin, pattern, matches] of cases) assert.equal(originMatches(origin, pattern), matches, `${origin} ~ ${pattern}`);
});

test('the consent window shows the registrable part of the host apart', () => {
  const cases = [
    ['https://login.service.example.com', ['https://login.service.', 'example.com', '']],
    ['https://www.city.example.lg.jp:8443', ['https://www.city.', 'example.lg.jp', ':8443']],
    ['https://example.jp', ['https://', 'example.jp', '']],
    ['http://127.0.0.1:18777', ['http://', '127.0.0.1', ':18777']],
  ];
  for (const [origin, [prefix, registrable, suffix]] of cases) {
    assert.deepEqual(registrableSplit(origin), {prefix, registrable, suffix}, origin);
  }
});

test('the consent window bolds the registrable domain TAV bolds: the shared cases', () => {
  const cases = readCases('registrable_domains.txt');
  assert.ok(cases.length > 0);
  for (const {number, fields: [host, registrable, ...rest]} of cases) {
    const where = `registrable_domains.txt:${number} ${host}`;
    assert.deepEqual(rest, [], where);
    assert.deepEqual(registrableSplit(`https://${host}`), {
      prefix: `https://${host.slice(0, host.length - registrable.length)}`,
      registrable,
      suffix: '',
    }, where);
  }
});
