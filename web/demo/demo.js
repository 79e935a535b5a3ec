// The demo page's wiring: one button per operation; each answer is shown as JSON
// and kept in window.tavoriDemo for the browser tests.
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

wire('status-button', 'status-result', 'status', async () => ({status: await tavori.status()}));

wire('login-button', 'login-result', 'login', async () => {
  const challenge = crypto.getRandomValues(new Uint8Array(32));
  byId('login-challenge').textContent = base64(challenge);
  const answer = await tavori.login({
    digest: await sha256(challenge),
    serviceId: byId('login-service-id').value || undefined,
    language: byId('login-language').value || undefined,
    cityCode: byId('login-city-code').checked,
    combinationCode: byId('login-combination-code').checked,
    passwordChangeLink: byId('login-pw-change').checked,
  });
  return {
    shown: answer,
    after: async () => showVerified('login-verify', 'login',
      await verifySignature(answer.certificate, answer.signature, challenge)),
  };
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
