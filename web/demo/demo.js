// The demo page's wiring: one button per operation; each answer is shown as JSON
// and kept in window.tavoriDemo for the browser tests. The log-in goes through the
// demo's server (server.mjs): its challenge, and its verdict on the token.
import * as tavori from '../tavori.js';
import {verifySignature} from './verify.js';

const byId = (id) => document.getElementById(id);
const results = {};
window.tavoriDemo = results;

const base64 = (bytes) => btoa(String.fromCharCode(...bytes));
const sha256 = async (bytes) => new Uint8Array(await crypto.subtle.digest('SHA-256', bytes));
const lines = (id) => byId(id).value.split('\n').map((line) => line.trim()).filter(Boolean);

function readable(value) {
  return JSON.stringify(value, (key, item) => (item instanceof Uint8Array ? base64(item) : item), 2);
}

function show(id, operation, state, value) {
  const target = byId(id);
  target.dataset.state = state;
  target.dataset.code = state === 'error' ? value.code : '';
  target.textContent = state === 'error'
    ? readable({code: value.code, errcode: value.errcode, result: value.result, stage: value.stage, message: value.message})
    : readable(value);
  results[operation] = state === 'error'
    ? {state, code: value.code, errcode: value.errcode, result: value.result, stage: value.stage}
    : {state, value: JSON.parse(readable(value))};
}

function showVerified(id, operation, verified) {
  byId(id).textContent = verified ? 'verified' : 'NOT verified';
  byId(id).dataset.verified = String(verified);
  results[operation].verified = verified;
}

// Runs one operation with its output element; a failure is shown, never thrown.
function wire(buttonId, outputId, operation, action) {
  byId(buttonId).addEventListener('click', async () => {
    byId(outputId).dataset.state = 'running';
    results[operation] = {state: 'running'};
    let value;
    try {
      value = await action();
    } catch (error) {
      show(outputId, operation, 'error', error);
      return;
    }
    show(outputId, operation, 'ok', value.shown ?? value);
    if (value.after) await value.after();
  });
}

wire('status-button', 'status-result', 'status', async () => ({status: await tavori.status(),
  versions: await tavori.versions()}));

// A POST to the demo's server: {ok, body}; {ok: false, body: {code: 'server'}} when
// no demo server answers (web/ served by a static server).
async function post(path, body) {
  try {
    const response = await fetch(path, {method: 'POST', headers: {'content-type': 'application/json'},
      body: JSON.stringify(body ?? {})});
    return {ok: response.ok, body: await response.json()};
  } catch {
    return {ok: false, body: {code: 'server'}};
  }
}

function showServerVerdict({ok, body}) {
  const target = byId('login-verify');
  target.dataset.verified = String(ok);
  target.dataset.code = ok ? '' : body.code;
  target.textContent = ok ? `verified: log-in certificate serial ${body.serialNumber}, issuer ${body.issuer}`
    : `refused: ${body.code}${body.reason ? ` (${body.reason})` : ''}`;
  Object.assign(results.login, {verified: ok, server: body});
}

wire('login-button', 'login-result', 'login', async () => {
  const issued = await post('/login/challenge');
  if (!issued.ok) throw Object.assign(new Error('the demo server gave no challenge'), {code: 'server'});
  const {challenge} = issued.body;
  byId('login-challenge').textContent = challenge;
  const answer = await tavori.authenticate({
    challenge,
    serviceId: byId('login-service-id').value || undefined,
    language: byId('login-language').value || undefined,
    cityCode: byId('login-city-code').checked,
    combinationCode: byId('login-combination-code').checked,
    passwordChangeLink: byId('login-pw-change').checked,
  });
  return {shown: answer, after: async () => showServerVerdict(await post('/login', answer.token))};
});

// Signs the SHA-256 of each text, then checks every signature over its text.
async function signTexts(textsId, verifyId, operation, call) {
  const texts = lines(textsId).map((text) => new TextEncoder().encode(text));
  const answer = await call(await Promise.all(texts.map(sha256)));
  return {
    shown: answer,
    after: async () => {
      const checks = await Promise.all(answer.signatures.map(
        (signature, i) => verifySignature(answer.certificate, signature, texts[i])));
      showVerified(verifyId, operation, checks.length === texts.length && checks.every(Boolean));
    },
  };
}

wire('sign-button', 'sign-result', 'sign', () => signTexts('sign-texts', 'sign-verify', 'sign',
  (digests) => tavori.sign({digests, ca: byId('sign-ca').value || undefined, confirm: byId('sign-confirm').checked})));

wire('gpki-sign-button', 'gpki-sign-result', 'signGpki', () => signTexts('gpki-texts', 'gpki-sign-verify', 'signGpki',
  (digests) => tavori.signGpki({digests, confirm: byId('gpki-confirm').checked})));

wire('card-button', 'card-result', 'readCard', () => tavori.readCard({
  individualNumber: byId('card-individual-number').checked,
  combinationCode: byId('card-combination-code').checked,
}));

wire('password-button', 'password-result', 'changePassword', () => tavori.changePassword());
wire('gpki-password-button', 'password-result', 'changeGpkiPassword', () => tavori.changeGpkiPassword());

byId('cancel-button').addEventListener('click', () => tavori.cancel());
