// Consent per origin and capability: what the user chose, and what the
// administrator's policy allows or blocks. The policy comes from storage.managed;
// the choices are kept in storage.local under one key.

import {CAPABILITY_NAMES} from './capabilities.js';
import {originMatches} from './origin-rules.js';

export const CHOICES_KEY = 'consent';
const KEPT = new Set(['allow', 'deny']);

// Policy keys (managed storage), all optional:
//   allowedOrigins       origins (or https://*.domain patterns) allowed every capability without asking
//   allowedCapabilities  {origin or pattern: [capability, ...]} allowed those capabilities without asking
//   blockedOrigins       origins refused always; a block wins over an allow
//   askUsers             false: what the policy does not allow is refused without asking
//   developerMode        forces the developer setting (http on localhost) on or off
export function readPolicy(managed) {
  const list = (value) => (Array.isArray(value) ? value.filter((item) => typeof item === 'string') : []);
  const source = managed && typeof managed === 'object' ? managed : {};
  const capabilities = source.allowedCapabilities && typeof source.allowedCapabilities === 'object'
    ? Object.entries(source.allowedCapabilities).map(([pattern, names]) =>
      [pattern, list(names).filter((name) => CAPABILITY_NAMES.includes(name))])
    : [];
  return {
    allowedOrigins: list(source.allowedOrigins),
    allowedCapabilities: capabilities.filter(([, names]) => names.length > 0),
    blockedOrigins: list(source.blockedOrigins),
    askUsers: source.askUsers !== false,
    developerMode: typeof source.developerMode === 'boolean' ? source.developerMode : undefined,
  };
}

// The stored choices as {origin: {capability: 'allow' | 'deny'}}. A choice kept
// before consent was asked per capability is one word for the whole origin: its
// 'deny' stays a deny of every capability, its 'allow' is read as log-in only (the
// window then asked only about the PIN), so that no site gains a use the user was
// never told of.
export function readChoices(stored) {
  const choices = {};
  if (!stored || typeof stored !== 'object') return choices;
  for (const [origin, value] of Object.entries(stored)) {
    let kept = {};
    if (value === 'allow') kept = {login: 'allow'};
    else if (value === 'deny') kept = Object.fromEntries(CAPABILITY_NAMES.map((name) => [name, 'deny']));
    else if (value && typeof value === 'object') {
      kept = Object.fromEntries(CAPABILITY_NAMES.filter((name) => KEPT.has(value[name])).map((name) => [name, value[name]]));
    }
    if (Object.keys(kept).length > 0) choices[origin] = kept;
  }
  return choices;
}

// 'allow', 'deny' or 'ask' for a capability of an origin, from the policy and the user's choices.
export function decide(origin, capability, policy, choices) {
  const matches = (pattern) => originMatches(origin, pattern);
  if (policy.blockedOrigins.some(matches)) return 'deny';
  if (policy.allowedOrigins.some(matches)) return 'allow';
  if (policy.allowedCapabilities.some(([pattern, names]) => names.includes(capability) && matches(pattern))) {
    return 'allow';
  }
  if (!policy.askUsers) return 'deny';
  const stored = choices[origin]?.[capability];
  return KEPT.has(stored) ? stored : 'ask';
}

// Whether an origin may use no capability at all, as status() tells it.
export function deniedEverything(origin, policy, choices) {
  return CAPABILITY_NAMES.every((capability) => decide(origin, capability, policy, choices) === 'deny');
}

// The user's choices over a storage area with the browser's get/set promise API.
export class ConsentStore {
  constructor(area) {
    this.area = area;
    this.writing = Promise.resolve();
  }

  async choices() {
    return readChoices((await this.area.get(CHOICES_KEY))[CHOICES_KEY]);
  }

  // Keeps 'allow' and 'deny'; 'once' is an answer for one request and is not kept.
  remember(origin, capability, choice) {
    if (!KEPT.has(choice)) return Promise.resolve();
    return this.update((choices) => {
      choices[origin] = {...choices[origin], [capability]: choice};
    });
  }

  revoke(origin, capability) {
    return this.update((choices) => {
      if (!choices[origin]) return;
      delete choices[origin][capability];
      if (Object.keys(choices[origin]).length === 0) delete choices[origin];
    });
  }

  // One change at a time, each on what the last one wrote: consent windows of two
  // sites may be answered together.
  update(change) {
    const next = this.writing.then(async () => {
      const choices = await this.choices();
      change(choices);
      await this.area.set({[CHOICES_KEY]: choices});
    });
    this.writing = next.catch(() => {});
    return next;
  }
}
