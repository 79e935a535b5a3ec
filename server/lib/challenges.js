// Log-in challenges: 32 random bytes each, kept per session by a store that
// hands each out once (README, "Challenges").
import {randomBytes} from 'node:crypto';

const DEFAULT_CHALLENGE_TTL_MS = 5 * 60 * 1000;

export function createChallenge() {
  return randomBytes(32).toString('base64url');
}

// A new challenge for the session, replacing any it had, stored until now + ttlMs.
export async function issueChallenge(store, sessionKey, {ttlMs = DEFAULT_CHALLENGE_TTL_MS, now = new Date()} = {}) {
  if (!Number.isInteger(ttlMs) || ttlMs < 1) throw new TypeError('ttlMs is a positive whole number');
  const challenge = createChallenge();
  await store.put(sessionKey, {challenge, expiresAt: now.getTime() + ttlMs});
  return challenge;
}

// The store in this process's memory, for a service on one process. take()
// is atomic (nothing awaits between reading and marking), and a taken
// challenge is remembered as used until it expires. At most maxEntries
// sessions are kept; past that the oldest goes first.
export class MemoryChallengeStore {
  #records = new Map();
  #maxEntries;
  #clock;

  constructor({maxEntries = 100000, clock = Date.now} = {}) {
    if (!Number.isInteger(maxEntries) || maxEntries < 1) throw new TypeError('maxEntries is a positive whole number');
    this.#maxEntries = maxEntries;
    this.#clock = clock;
  }

  async put(sessionKey, {challenge, expiresAt}) {
    sessionKeyText(sessionKey);
    this.#forgetExpired();
    this.#records.delete(sessionKey);
    this.#records.set(sessionKey, {challenge, expiresAt, used: false});
    for (const key of this.#records.keys()) {
      if (this.#records.size <= this.#maxEntries) break;
      this.#records.delete(key);
    }
  }

  async take(sessionKey) {
    sessionKeyText(sessionKey);
    const record = this.#records.get(sessionKey);
    if (!record) return null;
    this.#records.set(sessionKey, {...record, used: true});
    return {...record};
  }

  // Records are kept in the order they were put, so the expired ones of a
  // common lifetime are at the front.
  #forgetExpired() {
    const now = this.#clock();
    for (const [key, record] of this.#records) {
      if (record.expiresAt > now) break;
      this.#records.delete(key);
    }
  }
}

function sessionKeyText(sessionKey) {
  if (typeof sessionKey !== 'string' || sessionKey.length === 0) throw new TypeError('the session key is a text');
}
