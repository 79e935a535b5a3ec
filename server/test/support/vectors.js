// The committed test vectors (vectors/README.md) and how to run one against
// this package: the vector's fetch answers come from its "responses".
import {readdirSync, readFileSync} from 'node:fs';
import {loadTrustAnchors, verifyLogin, verifySignature} from '../../index.js';

const directory = new URL('../../vectors/', import.meta.url);

export const vectors = readdirSync(directory).filter((file) => file.endsWith('.json')).sort()
  .map((file) => ({name: file.replace(/\.json$/, ''), ...JSON.parse(readFileSync(new URL(file, directory), 'utf8'))}));

export const vector = (name) => vectors.find((candidate) => candidate.name === name);

export const fromBase64 = (text) => new Uint8Array(Buffer.from(text, 'base64'));

// A fetch that answers from the table and records every address asked.
export function tableFetch(responses, asked = []) {
  return async (url) => {
    asked.push(url);
    const answer = responses[url];
    if (!answer) throw new TypeError('fetch failed');
    return new Response(fromBase64(answer.body), {status: answer.status});
  };
}

// overrides: options to verifyLogin or verifySignature, and token for a login.
export function runVector(vector, {asked = [], token = vector.token, ...overrides} = {}) {
  const options = {
    trustAnchors: loadTrustAnchors(vector.trustAnchors.map(fromBase64)),
    now: new Date(vector.now),
    revocation: vector.revocation,
    fetch: tableFetch(vector.responses, asked),
  };
  if (vector.kind === 'signature') {
    return verifySignature(Buffer.from(vector.hash, 'hex'), vector.signature, vector.certificate, {...options, ...overrides});
  }
  const challenge = vector.challenge && {
    challenge: vector.challenge.value, expiresAt: Date.parse(vector.challenge.expiresAt), used: vector.challenge.used,
  };
  return verifyLogin(token, {...options, origin: vector.origin, challenge, ...overrides});
}
