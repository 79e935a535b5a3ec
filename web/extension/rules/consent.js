// Per-origin consent: what the user chose, and what the administrator's policy
// allows or blocks. The policy comes from storage.managed; the choices are kept in
// storage.local under one key.

import {originMatches} from './origin-rules.js';

export const CHOICES_KEY = 'consent';

// Policy keys (managed storage), all optional:
//   allowedOrigins  origins (or https://*.domain patterns) allowed without asking
//   blockedOrigins  origins refused always; a block wins over an allow
//   askUsers        false: origins not in allowedOrigins are refused without asking
//   developerMode   forces the developer setting (http on localhost) on or off
export function readPolicy(managed) {
  const list = (value) => (Array.isArray(value) ? value.filter((item) => typeof item === 'string') : []);
  const source = managed && typeof managed === 'object' ? managed : {};
  return {
    allowedOrigins: list(source.allowedOrigins),
    blockedOrigins: list(source.blockedOrigins),
    askUsers: source.askUsers !== false,
    developerMode: typeof source.developerMode === 'boolean' ? source.developerMode : undefined,
  };
}

// 'allow', 'deny' or 'ask' for an origin, from the policy and the user's stored choices.
export function decide(origin, policy, choices) {
  if (policy.blockedOrigins.some((pattern) => originMatches(origin, pattern))) return 'deny';
  if (policy.allowedOrigins.some((pattern) => originMatches(origin, pattern))) return 'allow';
  if (!policy.askUsers) return 'deny';
  const stored = choices[origin];
  if (stored === 'allow' || stored === 'deny') return stored;
  return 'ask';
}

// The user's choices over a storage area with the browser's get/set promise API.
export class ConsentStore {
  constructor(area) {
    this.area = area;
  }

  async choices() {
    const stored = (await this.area.get(CHOICES_KEY))[CHOICES_KEY];
    return stored && typeof stored === 'object' ? stored : {};
  }

  // Keeps 'allow' and 'deny'; 'once' is an answer for one request and is not kept.
  async remember(origin, choice) {
    if (choice !== 'allow' && choice !== 'deny') return;
    const choices = await this.choices();
    choices[origin] = choice;
    await this.area.set({[CHOICES_KEY]: choices});
  }

  async revoke(origin) {
    const choices = await this.choices();
    delete choices[origin];
    await this.area.set({[CHOICES_KEY]: choices});
  }
}
