// The demo service's log-in: a challenge per session (the session is an HttpOnly
// SameSite cookie), and the token authenticate() gave the page, verified with the
// server verifier (server/README.md, "Verify on your server").
import {randomBytes} from 'node:crypto';
import {issueChallenge, verifyLogin, VerificationError} from '../../server/index.js';

const SESSION_COOKIE = 'tavori-demo-session';
const SESSION_FORM = /^[A-Za-z0-9_-]{43}$/;
// The longest token text (server/TOKEN.md).
const MAX_TOKEN_BYTES = 16 * 1024;

export function answer(response, status, body, headers = {}) {
  response.writeHead(status, {'content-type': 'application/json', 'cache-control': 'no-store', ...headers});
  response.end(JSON.stringify(body));
}

function sessionOf(request) {
  for (const part of (request.headers.cookie ?? '').split(';')) {
    const [name, value] = part.trim().split('=');
    if (name === SESSION_COOKIE && SESSION_FORM.test(value ?? '')) return value;
  }
  return null;
}

// The body's text, bounded before it is read by the length the request declares.
async function bodyText(request) {
  const chunks = [];
  for await (const chunk of request) chunks.push(chunk);
  return Buffer.concat(chunks).toString('utf8');
}

// {origin, trustAnchors, store, log}: the origin tokens must name, the CA
// certificates (loadTrustAnchors), a challenge store and where verdicts are told.
export function loginService({origin, trustAnchors, store, log}) {
  // POST /login/challenge: a new challenge for this session (a new session without one).
  async function challenge(request, response) {
    const session = sessionOf(request) ?? randomBytes(32).toString('base64url');
    answer(response, 200, {challenge: await issueChallenge(store, session)},
      {'set-cookie': `${SESSION_COOKIE}=${session}; HttpOnly; SameSite=Strict; Path=/`});
  }

  // POST /login: the token as JSON; the session's challenge is taken first, one try each.
  async function login(request, response) {
    if (!/^application\/json\s*(;|$)/i.test(request.headers['content-type'] ?? '')) {
      answer(response, 415, {code: 'not-json'});
      return;
    }
    if (request.headers['content-length'] === undefined) {
      answer(response, 411, {code: 'length-required'}, {connection: 'close'});
      return;
    }
    if (Number(request.headers['content-length']) > MAX_TOKEN_BYTES) {
      answer(response, 413, {code: 'too-large'}, {connection: 'close'});
      return;
    }
    const token = await bodyText(request);
    const session = sessionOf(request);
    try {
      const user = await verifyLogin(token, {origin, trustAnchors, challenge: session && await store.take(session)});
      log(`verified: log-in certificate serial ${user.serialNumber}, issuer ${user.issuer}`);
      answer(response, 200, {verified: true, serialNumber: user.serialNumber, issuer: user.issuer,
        subject: user.subject, notAfter: user.notAfter});
    } catch (error) {
      if (!(error instanceof VerificationError)) throw error;
      log(`refused: ${error.code}${error.reason ? ` (${error.reason})` : ''}`);
      answer(response, 401, {verified: false, code: error.code, ...(error.reason ? {reason: error.reason} : {})});
    }
  }

  return {'/login/challenge': challenge, '/login': login};
}
