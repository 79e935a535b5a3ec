// Tavori for web pages: the My Number card (and GPKI cards, IC-card and file
// certificates) through the Tavori browser extension and the Tavori programs.
// One Promise per operation; bytes in and out as Uint8Array; failures as TavoriError.
// The PIN and passwords are never passed through here: the user types them into
// Tavori's own windows only.

const NAMESPACE = 'com.vandrel.kelvarist.tavori';
const DEFAULT_VERSION = '1';

// This library's version, as its package names it (web/package.json).
export const VERSION = '1.0.0';

// SHA-256 DigestInfo prefix (DER): the card signs DigestInfo, not the bare hash.
const SHA256_DIGEST_INFO_PREFIX = Uint8Array.from([
  0x30, 0x31, 0x30, 0x0d, 0x06, 0x09, 0x60, 0x86, 0x48, 0x01, 0x65, 0x03, 0x04, 0x02, 0x01, 0x05, 0x00, 0x04, 0x20,
]);

export const ErrorCode = Object.freeze({
  USER_CANCELLED: 'user-cancelled',
  PASSWORD_CHANGE_CHOSEN: 'password-change-chosen',
  CANCELLED: 'cancelled',
  CARD: 'card',
  PASSWORD: 'password',
  REFUSED: 'refused',
  VERSION: 'version',
  BUSY: 'busy',
  CONSENT_DENIED: 'consent-denied',
  EXTENSION_MISSING: 'extension-missing',
  HOST_MISSING: 'host-missing',
  TIMEOUT: 'timeout',
  INSECURE_CONTEXT: 'insecure-context',
  FAILED: 'failed',
});

export class TavoriError extends Error {
  constructor(code, message, {errcode, result, stage} = {}) {
    super(message);
    this.name = 'TavoriError';
    this.code = code;
    if (errcode !== undefined) this.errcode = errcode;
    if (result !== undefined) this.result = result;
    if (stage !== undefined) this.stage = stage;
  }
}

// Host error codes ("EW" mode class "-" group case) by family; the first row that
// matches wins, and a code no row matches is 'failed'. web/README.md has the same table.
const CODE_FAMILIES = [
  // another Tavori is running
  [ErrorCode.BUSY, /^EW040-0200$/],
  // an unexpected failure at one point of the program, in any group
  [ErrorCode.FAILED, /^EW.\d\d-..99$/],
  // the request's values (class 42, group 12); class 42 group 24 is a failure while ending
  [ErrorCode.REFUSED, /^EW.42-12/],
  // Tavori is older than the service accepts, or the user was told of a newer one
  [ErrorCode.VERSION, /^EW.44-(04|123)/],
  // the password: its form, wrong, locked, or the change refused
  [ErrorCode.PASSWORD, /^EW.40-(0820|1600|1620|2121|27|314|4000|4020|4640)|^EW.44-(2101|315|4650)/],
  // the card, the reader, or an IC-card or file certificate
  [ErrorCode.CARD, /^EW.40-|^EW.44-(1[568A]|2[0-2]|3[123589A]|4[0156])/],
];

// The typed family of a host error code.
export function familyOfCode(errcode) {
  if (typeof errcode !== 'string' || !/^EW[0-9A-D]\d\d-[0-9A-Z]{4}$/.test(errcode)) return ErrorCode.FAILED;
  const row = CODE_FAMILIES.find(([, pattern]) => pattern.test(errcode));
  return row ? row[0] : ErrorCode.FAILED;
}

// The TavoriError for a host answer that is not a success, or null for a success.
export function errorForAnswer(answer) {
  if (!answer || typeof answer !== 'object') return new TavoriError(ErrorCode.FAILED, 'no answer from Tavori');
  switch (answer.result) {
    case '0': return null;
    case '9': return new TavoriError(ErrorCode.USER_CANCELLED, 'the user ended the operation', {result: '9'});
    case '8':
      return new TavoriError(ErrorCode.PASSWORD_CHANGE_CHOSEN, 'the user chose to change the password', {result: '8'});
    case '1': {
      const errcode = typeof answer.errcode === 'string' ? answer.errcode : undefined;
      return new TavoriError(familyOfCode(errcode), `Tavori reported ${errcode || 'an error'}`, {errcode, result: '1'});
    }
    default: return new TavoriError(ErrorCode.FAILED, 'an answer Tavori does not give', {result: String(answer.result)});
  }
}

// --- bytes ---------------------------------------------------------------------

function toBytes(value, what) {
  if (value instanceof Uint8Array) return value;
  if (value instanceof ArrayBuffer) return new Uint8Array(value);
  if (ArrayBuffer.isView(value)) return new Uint8Array(value.buffer, value.byteOffset, value.byteLength);
  throw new TavoriError(ErrorCode.REFUSED, `${what} must be a Uint8Array or an ArrayBuffer`);
}

function toBase64(bytes) {
  let binary = '';
  for (let i = 0; i < bytes.length; i += 0x8000) binary += String.fromCharCode(...bytes.subarray(i, i + 0x8000));
  return btoa(binary);
}

// A SHA-256 value (32 bytes) or its DER DigestInfo (51 bytes), as the card signs it.
export function digestInfo(digest) {
  const bytes = toBytes(digest, 'a digest');
  if (bytes.length === 32) {
    const info = new Uint8Array(51);
    info.set(SHA256_DIGEST_INFO_PREFIX);
    info.set(bytes, SHA256_DIGEST_INFO_PREFIX.length);
    return info;
  }
  // A copy: the caller's bytes may lie in a shared or later reused buffer.
  if (bytes.length === 51 && SHA256_DIGEST_INFO_PREFIX.every((b, i) => bytes[i] === b)) return new Uint8Array(bytes);
  throw new TavoriError(ErrorCode.REFUSED, 'a digest must be a 32-byte SHA-256 value or its 51-byte DigestInfo');
}

// --- requests ------------------------------------------------------------------

let sequence = 0;
let current = null; // {id} of this page's running request

function newId() {
  sequence += 1;
  const random = globalThis.crypto?.getRandomValues ? crypto.getRandomValues(new Uint32Array(1))[0] : 0;
  return `${Date.now().toString(36)}-${random.toString(36)}-${sequence}`;
}

function checkContext() {
  if (typeof window === 'undefined' || !window.isSecureContext) {
    throw new TavoriError(ErrorCode.INSECURE_CONTEXT, 'Tavori works on https pages only');
  }
  // A sandboxed frame: no origin the extension could judge or answer to.
  if (window.origin === 'null') {
    throw new TavoriError(ErrorCode.INSECURE_CONTEXT, 'a sandboxed frame without an origin of its own cannot use Tavori');
  }
}

// The stages this library watches, within the bounds the extension keeps (a
// browser fires a timer beyond 2^31 ms at once).
function stageMs(value, fallback, low, high) {
  return Number.isFinite(value) ? Math.min(high, Math.max(low, value)) : fallback;
}

// Sends one message to the extension and settles with its final reply: the
// whole answer message, the status, or the extension's version.
// timeouts: {ack, hostStart, user} in milliseconds (the extension bounds hostStart and user).
function exchange(type, request, requested) {
  checkContext();
  const runsHost = type === 'request' || type === 'authenticate';
  if (runsHost && current) {
    return Promise.reject(new TavoriError(ErrorCode.BUSY, 'a Tavori request of this page is still running'));
  }
  const id = newId();
  // Only numbers go on: the extension bounds them again.
  const timeouts = {};
  for (const stage of ['ack', 'hostStart', 'user']) {
    if (Number.isFinite(requested?.[stage])) timeouts[stage] = requested[stage];
  }
  const ackMs = stageMs(timeouts.ack, 1000, 200, 10000);
  // A little above the extension's own limit, so that its typed answer comes first.
  const hostStartMs = stageMs(timeouts.hostStart, 8000, 1000, 60000) + 2000;
  return new Promise((resolve, reject) => {
    let timer = null;
    const arm = (ms, fail) => {
      clearTimeout(timer);
      timer = setTimeout(fail, ms);
    };
    const settle = (action, value) => {
      clearTimeout(timer);
      window.removeEventListener('message', onMessage);
      if (current && current.id === id) current = null;
      action(value);
    };
    const onMessage = (event) => {
      const data = event.data;
      if (event.source !== window || !data || data.ns !== NAMESPACE || data.from !== 'extension' || data.id !== id) return;
      switch (data.type) {
        case 'ack':
          arm(hostStartMs, () => settle(reject, new TavoriError(ErrorCode.TIMEOUT,
            'the extension did not start Tavori in time', {stage: 'hostStart'})));
          break;
        case 'progress': clearTimeout(timer); break;
        case 'answer': settle(resolve, data); break;
        case 'status': settle(resolve, data.status); break;
        case 'version': settle(resolve, data.version); break;
        case 'error': settle(reject, new TavoriError(String(data.code), String(data.message || data.code),
          data.stage ? {stage: data.stage} : {})); break;
        default: break;
      }
    };
    window.addEventListener('message', onMessage);
    if (runsHost) current = {id};
    arm(ackMs, () => settle(reject, new TavoriError(ErrorCode.EXTENSION_MISSING,
      'the Tavori extension is not installed or not enabled', {stage: 'ack'})));
    window.postMessage({ns: NAMESPACE, from: 'page', type, id, request, timeouts}, window.location.origin);
  });
}

function baseRequest(mode, options) {
  const request = {
    mode,
    latest_version: String(options.latestVersion ?? DEFAULT_VERSION),
    available_version: String(options.availableVersion ?? DEFAULT_VERSION),
  };
  if (options.serviceId !== undefined) request.service_id = String(options.serviceId);
  return request;
}

// The extension's answer message for a request, once the host's answer is a success.
async function run(request, options, type = 'request') {
  const reply = await exchange(type, request, options.timeouts);
  const error = errorForAnswer(reply.answer);
  if (error) throw error;
  return reply;
}

// --- answers -------------------------------------------------------------------
// A success answer's fields, checked: a missing or malformed one fails the call
// with a TavoriError, never with a DOMException or an undefined value.

const BASE64 = /^(?:[A-Za-z0-9+/]{4})*(?:[A-Za-z0-9+/]{2}==|[A-Za-z0-9+/]{3}=)?$/;
const HEX = /^(?:[0-9A-Fa-f]{2})*$/;
const utf8 = new TextDecoder('utf-8');

function malformed(key) {
  return new TavoriError(ErrorCode.FAILED, `Tavori's answer has no usable "${key}"`, {result: '0'});
}

function text(answer, key) {
  if (typeof answer[key] !== 'string') throw malformed(key);
  return answer[key];
}

function base64Bytes(value, key) {
  if (typeof value !== 'string' || value === '' || !BASE64.test(value)) throw malformed(key);
  return Uint8Array.from(atob(value), (c) => c.charCodeAt(0));
}

// The card's items travel as hexadecimal text of their UTF-8 bytes.
function hexText(answer, key) {
  const value = text(answer, key);
  if (!HEX.test(value)) throw malformed(key);
  return utf8.decode(Uint8Array.from(value.match(/../g) || [], (pair) => parseInt(pair, 16)));
}

// Copies an item the answer may leave out; present, it must be text.
function optionalText(result, name, answer, key) {
  if (answer[key] !== undefined) result[name] = text(answer, key);
}

function signedResult(answer, count) {
  const signatures = Array.isArray(answer.signature) ? answer.signature : [answer.signature];
  if (signatures.length !== count) throw malformed('signature');
  return {
    signatures: signatures.map((signature) => base64Bytes(signature, 'signature')),
    certificate: base64Bytes(answer.certificate, 'certificate'),
    uuid: text(answer, 'uuid'),
  };
}

// --- the operations ------------------------------------------------------------

// Whether a page can use Tavori here: 'ready', 'host-missing' or 'extension-missing'.
// Rejects with a TavoriError where the page may not use it at all: 'insecure-context',
// 'consent-denied' (every use denied), 'timeout' (stage 'hostStart') or 'failed'.
export async function status(options = {}) {
  try {
    return await exchange('status', undefined, options.timeouts);
  } catch (error) {
    if (error.code === ErrorCode.EXTENSION_MISSING) return 'extension-missing';
    throw error;
  }
}

// The versions of this library and of the extension that serves the page (null
// when none acknowledged in time). Rejects as status() does where the page may
// not use Tavori at all. status() keeps its three values.
export async function versions(options = {}) {
  let extension;
  try {
    extension = await exchange('version', undefined, options.timeouts);
  } catch (error) {
    if (error.code !== ErrorCode.EXTENSION_MISSING) throw error;
  }
  return {library: VERSION, extension: typeof extension === 'string' ? extension : null};
}

// Mode "01" but for what is signed: the digest (login) or the server's challenge (authenticate).
function logInRequest(options) {
  const request = baseRequest('01', options);
  if (options.passwordChangeLink) request.pw_change = '1';
  if (options.language) request.language = String(options.language);
  if (options.combinationCode) request.combination_code_flag = 'true';
  if (options.cityCode) request.city_code_flag = 'true';
  return request;
}

// Log-in with the card's user-authentication key (4-digit PIN) over a digest the
// service computed. options: digest (32-byte SHA-256 or its DigestInfo), serviceId,
// cityCode, combinationCode, language ('ja' | 'en'), passwordChangeLink,
// latestVersion, availableVersion, timeouts.
export async function login(options = {}) {
  const request = logInRequest(options);
  request.digest = toBase64(digestInfo(options.digest));
  const {answer} = await run(request, options);
  const result = {
    signature: base64Bytes(answer.signature, 'signature'),
    certificate: base64Bytes(answer.certificate, 'certificate'),
    uuid: text(answer, 'uuid'),
  };
  optionalText(result, 'combinationCode', answer, 'combination_code');
  optionalText(result, 'cityCode', answer, 'city_code');
  return result;
}

// The server's challenge: base64url without padding of 32 to 256 bytes, in the one
// spelling of its bytes (server/TOKEN.md). 43 to 342 characters are 32 to 256 bytes.
const CHALLENGE_TEXT = /^[A-Za-z0-9_-]{43,342}$/;

function checkedChallenge(challenge) {
  const ok = typeof challenge === 'string' && CHALLENGE_TEXT.test(challenge) && challenge.length % 4 !== 1 &&
    btoa(atob(challenge.replace(/-/g, '+').replace(/_/g, '/'))).replace(/\+/g, '-').replace(/\//g, '_')
      .replace(/=+$/, '') === challenge;
  if (!ok) throw new TavoriError(ErrorCode.REFUSED, 'a challenge is base64url without padding of 32 to 256 bytes');
  return challenge;
}

// The token's members beyond the signature, in the forms server/TOKEN.md gives them.
const TOKEN_CODES = [
  ['combinationCode', 'combination_code', /^[0-9a-f]{64}$/],
  ['cityCode', 'city_code', /^(?:3[0-9]){5}$/],
];

// An origin-bound log-in: the extension has the card sign the server's challenge
// together with the origin the browser reports for this page, so the page never
// chooses what is signed. Resolves with {token, uuid}: the token "tavori-auth:1"
// (server/TOKEN.md) for the page to post to its server unchanged, and this
// installation's identifier for the site beside it. options: challenge, and those
// of login() but digest.
export async function authenticate(options = {}) {
  if ('digest' in options) {
    throw new TavoriError(ErrorCode.REFUSED, 'authenticate() signs the server\'s challenge, never a digest');
  }
  const request = logInRequest(options);
  request.challenge = checkedChallenge(options.challenge);
  const {answer, origin} = await run(request, options, 'authenticate');
  if (typeof origin !== 'string' || origin === '' || origin.length > 267) throw malformed('origin');
  const token = {
    format: 'tavori-auth:1',
    origin,
    // Base64 in the one spelling of its bytes, as the token carries it.
    certificate: toBase64(base64Bytes(answer.certificate, 'certificate')),
    signature: toBase64(base64Bytes(answer.signature, 'signature')),
    algorithm: 'RS256',
  };
  for (const [name, key, form] of TOKEN_CODES) {
    if (answer[key] === undefined) continue;
    if (!form.test(text(answer, key))) throw malformed(key);
    token[name] = answer[key];
  }
  return {token, uuid: text(answer, 'uuid')};
}

// Signing of one or more digests. options: digests (array of 32-byte SHA-256 values
// or DigestInfo), ca (certification authority code: none or "001" for the JPKI
// signature key on the card, an IC-card authority such as "004", or "013"-"020" for
// a certificate file that the user chooses in Tavori's own dialog), confirm (show
// the certificate first), serviceId, latestVersion, availableVersion, timeouts.
export async function sign(options = {}) {
  const request = baseRequest(options.confirm ? '07' : '02', options);
  if (options.ca !== undefined) request.ca = String(options.ca);
  request.digest = digestList(options.digests);
  return signedResult((await run(request, options)).answer, request.digest.length);
}

// Signing with a GPKI IC card ("11", or "12" with confirmation).
export async function signGpki(options = {}) {
  const request = baseRequest(options.confirm ? '12' : '11', options);
  request.digest = digestList(options.digests);
  if (options.passwordChangeLink) request.pw_change = '1';
  return signedResult((await run(request, options)).answer, request.digest.length);
}

function digestList(digests) {
  if (!Array.isArray(digests) || digests.length === 0) {
    throw new TavoriError(ErrorCode.REFUSED, 'digests must be a non-empty array');
  }
  return digests.map((digest) => toBase64(digestInfo(digest)));
}

// The data printed on the card (card-surface input support PIN): name, address,
// birthday (YYYYMMDD), sex ("1", "2", "9"), and the individual number when
// individualNumber is true. combinationCode adds the combination code (hex text).
export async function readCard(options = {}) {
  const request = baseRequest(options.individualNumber ? '03' : '04', options);
  if (options.combinationCode) request.combination_code_flag = 'true';
  const {answer} = await run(request, options);
  const result = {
    name: hexText(answer, 'name'),
    address: hexText(answer, 'address'),
    birthday: hexText(answer, 'birthday'),
    sex: hexText(answer, 'sex'),
    uuid: text(answer, 'uuid'),
  };
  if (options.individualNumber) result.individualNumber = hexText(answer, 'mynumber');
  optionalText(result, 'combinationCode', answer, 'combination_code');
  return result;
}

// Changing one of the card's passwords; the user chooses which and types them in Tavori.
export async function changePassword(options = {}) {
  const {answer} = await run(baseRequest('06', options), options);
  return {uuid: text(answer, 'uuid')};
}

// Changing the GPKI card's password.
export async function changeGpkiPassword(options = {}) {
  const {answer} = await run(baseRequest('13', options), options);
  return {uuid: text(answer, 'uuid')};
}

// Ends the running request of this page: Tavori closes its screens; the pending
// promise rejects with the code 'cancelled'.
export function cancel() {
  if (!current) return;
  window.postMessage({ns: NAMESPACE, from: 'page', type: 'cancel', id: current.id}, window.location.origin);
}
