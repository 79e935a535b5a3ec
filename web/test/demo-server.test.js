// The demo service as a hostile client meets it: its files, its challenges and
// its verdicts on tokens (the server verifier's own vectors).
import assert from 'node:assert/strict';
import http from 'node:http';
import {mkdtempSync, readFileSync, writeFileSync} from 'node:fs';
import {tmpdir} from 'node:os';
import path from 'node:path';
import {after, before, test} from 'node:test';
import {MemoryChallengeStore} from '../../server/index.js';
import {startDemoServer} from '../demo/server.mjs';

const vector = (name) => JSON.parse(readFileSync(new URL(`../../server/vectors/${name}.json`, import.meta.url), 'utf8'));
const valid = vector('login-valid');
const store = new MemoryChallengeStore();
const logged = [];
let demo;

before(async () => {
  const dir = mkdtempSync(path.join(tmpdir(), 'tavori-demo-anchors-'));
  const trustAnchorFiles = valid.trustAnchors.map((anchor, i) => {
    const file = path.join(dir, `anchor-${i}.der`);
    writeFileSync(file, Buffer.from(anchor, 'base64'));
    return file;
  });
  demo = await startDemoServer({origin: valid.origin, trustAnchorFiles, store, log: (line) => logged.push(line)});
});
after(() => demo.close());

// A request as it comes, unnormalised: {status, headers, body}.
function raw(method, target, {headers = {}, body} = {}) {
  return new Promise((resolve, reject) => {
    const request = http.request({host: '127.0.0.1', port: demo.port, method, path: target, headers}, (response) => {
      let text = '';
      response.on('data', (chunk) => { text += chunk; });
      response.on('end', () => resolve({status: response.statusCode, headers: response.headers, body: text}));
    });
    request.on('error', reject);
    request.end(body);
  });
}

// A new session with the vector's challenge in it, as if this server had issued it.
async function sessionWith(challenge) {
  const issued = await raw('POST', '/login/challenge');
  const session = /tavori-demo-session=([^;]+)/.exec(issued.headers['set-cookie'][0])[1];
  await store.put(session, {challenge, expiresAt: Date.now() + 60000});
  return `tavori-demo-session=${session}`;
}

const postToken = (cookie, token, headers = {}) => raw('POST', '/login', {body: JSON.stringify(token),
  headers: {'content-type': 'application/json', ...(cookie ? {cookie} : {}), ...headers}});

test('the files of web/ and nothing beside them', async () => {
  const cases = [
    ['GET', '/demo/', 200, 'text/html; charset=utf-8'],
    ['GET', '/tavori.js', 200, 'text/javascript'],
    ['HEAD', '/tavori.js', 200, 'text/javascript'],
    ['GET', '/..%2fserver%2fpackage.json', 404],
    ['GET', '/demo/..%2f..%2fserver%2fpackage.json', 404],
    ['GET', '/demo/%2e%2e%2findex.html', 404],
    ['GET', '/%E0%A4%A', 404],
    ['GET', '/tavori.js%00.html', 404],
    ['GET', '/test/', 404],
    ['GET', '/.gitignore', 404],
    ['PUT', '/tavori.js', 405],
    ['POST', '/tavori.js', 405],
    ['GET', '/login', 405],
    ['GET', 'http://[', 400],
  ];
  for (const [method, target, status, type] of cases) {
    const got = await raw(method, target);
    assert.equal(got.status, status, `${method} ${target}`);
    if (type) assert.equal(got.headers['content-type'], type, `${method} ${target}`);
  }
  assert.equal((await raw('GET', '/tavori.js')).body, readFileSync(new URL('../tavori.js', import.meta.url), 'utf8'));
  assert.equal((await raw('HEAD', '/tavori.js')).body, '');
});

test('a challenge per session, in an HttpOnly SameSite cookie; a token verifies once', async () => {
  const issued = await raw('POST', '/login/challenge');
  assert.match(JSON.parse(issued.body).challenge, /^[A-Za-z0-9_-]{43}$/);
  assert.match(issued.headers['set-cookie'][0], /^tavori-demo-session=[A-Za-z0-9_-]{43}; HttpOnly; SameSite=Strict; Path=\/$/);

  const cookie = await sessionWith(valid.challenge.value);
  const accepted = await postToken(cookie, valid.token);
  assert.equal(accepted.status, 200);
  assert.deepEqual(JSON.parse(accepted.body).serialNumber, valid.expected.result.serialNumber);
  assert.equal(logged.at(-1), `verified: log-in certificate serial ${valid.expected.result.serialNumber}, ` +
    `issuer ${valid.expected.result.issuer}`);
  const replayed = await postToken(cookie, valid.token);
  assert.deepEqual([replayed.status, JSON.parse(replayed.body)], [401, {verified: false, code: 'challenge', reason: 'used'}]);
});

test('what the service refuses, each with its code', async () => {
  const signature = Buffer.from(valid.token.signature, 'base64');
  signature[9] ^= 1;
  const flipped = {...valid.token, signature: signature.toString('base64')};
  const cases = [
    ['no session', null, valid.token, {}, 401, 'challenge'],
    ['a token of another origin', 'session', vector('login-other-origin').token, {}, 401, 'origin-mismatch'],
    ['a flipped byte', 'session', flipped, {}, 401, 'signature'],
    ['a token that is no JSON', 'session', undefined, {}, 401, 'format'],
    ['another media type', 'session', valid.token, {'content-type': 'text/plain'}, 415, 'not-json'],
    ['too large', 'session', {...valid.token, padding: 'x'.repeat(16 * 1024)}, {}, 413, 'too-large'],
  ];
  for (const [name, session, token, headers, status, code] of cases) {
    const cookie = session && await sessionWith(valid.challenge.value);
    const refused = await postToken(cookie, token, headers);
    assert.deepEqual([refused.status, JSON.parse(refused.body).code], [status, code], name);
  }
  const chunked = await raw('POST', '/login', {headers: {'content-type': 'application/json', 'transfer-encoding': 'chunked'},
    body: '{}'});
  assert.equal(chunked.status, 411);
});
