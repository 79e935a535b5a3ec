// The user's and the page's steps on the demo page, shared by the main job and
// the end-to-end cases.
import crypto from 'node:crypto';

import {playUser, until} from './rig.mjs';

// The developer setting (http pages on this machine), ticked on the extension's
// options page as a developer would. Firefox's options page cannot be opened by
// the test: there the managed policy sets it.
export async function enableDeveloperSetting(browser) {
  if (browser.kind !== 'chromium') return;
  const options = await browser.openExtensionPage('options.html');
  const box = options.locator('#developer-mode');
  const stored = () => options.evaluate(async () => (await chrome.storage.local.get('developerMode')).developerMode);
  // The box takes clicks once the page has read the settings; until then a tick is not stored.
  const on = await until(async () => {
    if (await stored() === true) return true;
    await box.setChecked(false);
    await box.setChecked(true);
    return false;
  }, 10000, 200);
  if (!on) throw new Error('the developer setting did not stick');
  await options.close();
}

// Presses a demo button and waits until its operation has settled (an error, or
// an answer, whose signatures the page has checked for a signing operation);
// returns what the page keeps in window.tavoriDemo for it.
export async function pressAndWait(page, button, operation, timeoutMs = 120000) {
  const signing = ['login', 'sign', 'signGpki'].includes(operation);
  await page.click(button);
  let result;
  const settled = await until(async () => {
    result = await page.evaluate((name) => window.tavoriDemo[name], operation);
    return result && result.state !== 'running' && (result.state === 'error' || !signing || 'verified' in result);
  }, timeoutMs, 50);
  if (!settled) throw new Error(`${operation} did not settle within ${timeoutMs} ms`);
  return result;
}

// The consent window, answered as the user would: 'allow', 'allow-once' or 'deny'.
// Resolves with the origin it names.
export async function answerConsent(browser, button) {
  const window = await browser.waitForPage('consent.html');
  // The buttons take input once the window has been visible and focused for a second.
  await window.waitForSelector(`#${button}:enabled`, {timeout: 15000});
  const named = await window.evaluate(() => document.getElementById('origin').textContent);
  // The window closes on the answer, at times before the click has returned.
  await window.click(`#${button}`).catch((error) => {
    if (!/closed/i.test(String(error))) throw error;
  });
  return named;
}

// Verifies a PKCS#1 v1.5 SHA-256 signature with the certificate's key, outside the page.
export function verifiedHere(certificateBase64, signatureBase64, data) {
  const certificate = new crypto.X509Certificate(Buffer.from(certificateBase64, 'base64'));
  return crypto.verify('sha256', data, certificate.publicKey, Buffer.from(signatureBase64, 'base64'));
}

// A log-in token checked as any RS256 library would, over the message of
// server/TOKEN.md: SHA-256(origin) || SHA-256(challenge bytes).
export function tokenVerifiesHere(token, challenge) {
  const sha256 = (bytes) => crypto.createHash('sha256').update(bytes).digest();
  const message = Buffer.concat([sha256(Buffer.from(token.origin)), sha256(Buffer.from(challenge, 'base64url'))]);
  return verifiedHere(token.certificate, token.signature, message);
}

// The user typing the log-in PIN on TAV's password screen.
const typeLoginPin = () => playUser(['screen=PasswordSetScreen', 'mark=shown', 'fill=1002:1234', 'mark=enter', 'click=1',
  'gone']);

// The demo's log-in with the user typing the PIN on TAV's password screen; the
// demo server issues the challenge and checks the token. Returns {result, challenge, named, user}.
export async function demoLogin(browser, page, {consent} = {}) {
  const user = typeLoginPin();
  const pressed = pressAndWait(page, '#login-button', 'login');
  pressed.catch(() => {});
  const named = consent ? await answerConsent(browser, consent) : undefined;
  const result = await pressed;
  const challenge = await page.evaluate(() => document.getElementById('login-challenge').textContent);
  return {result, challenge, named, user: await user.done};
}

// A challenge of the demo server for the page's session.
export const fetchChallenge = (page) => page.evaluate(async () =>
  (await (await fetch('/login/challenge', {method: 'POST'})).json()).challenge);

// A token posted from the page to its demo server: the server's answer.
export const postToken = (page, token) => page.evaluate(async (posted) => (await fetch('/login', {method: 'POST',
  headers: {'content-type': 'application/json'}, body: JSON.stringify(posted)})).json(), token);

// The page's authenticate() on a challenge, the user typing the PIN (and first
// answering the consent window with consent, if given). Returns {token, user}; the
// token is undefined when the call failed (user.log, error say why).
export async function authenticateAs(browser, page, challenge, {consent} = {}) {
  const user = typeLoginPin();
  const called = page.evaluate(async (given) => (await import('../tavori.js')).authenticate({challenge: given})
    .then(({token}) => ({token}), (error) => ({error: error.code})), challenge);
  called.catch(() => {});
  if (consent) await answerConsent(browser, consent);
  const {token, error} = await called;
  return {token, error, user: await user.done};
}
