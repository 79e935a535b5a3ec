// The options page: the user's choices per site and capability (each revocable),
// the administrator's policy (read only) and the developer setting.
import {CAPABILITIES, CAPABILITY_NAMES} from './rules/capabilities.js';
import {ConsentStore, readPolicy} from './rules/consent.js';
import {originLine} from './origin-line.js';

const api = globalThis.browser ?? globalThis.chrome;
const store = new ConsentStore(api.storage.local);
const byId = (id) => document.getElementById(id);

async function policy() {
  try {
    return readPolicy(await api.storage.managed.get(null));
  } catch {
    return readPolicy({});
  }
}

const label = (capability) => `${CAPABILITIES[capability].label.ja} / ${CAPABILITIES[capability].label.en}`;

async function showChoices() {
  const choices = await store.choices();
  const rows = byId('choice-rows');
  rows.replaceChildren();
  for (const origin of Object.keys(choices).sort()) {
    for (const capability of CAPABILITY_NAMES.filter((name) => name in choices[origin])) {
      const row = rows.insertRow();
      row.dataset.origin = origin;
      row.dataset.capability = capability;
      const site = row.insertCell();
      site.className = 'site';
      site.append(originLine(origin));
      row.insertCell().textContent = label(capability);
      row.insertCell().textContent = choices[origin][capability] === 'allow' ? '許可 / Allowed' : '拒否 / Denied';
      const revoke = document.createElement('button');
      revoke.type = 'button';
      revoke.className = 'revoke';
      revoke.textContent = '取り消す / Revoke';
      revoke.addEventListener('click', async () => {
        await store.revoke(origin, capability);
        await showChoices();
      });
      row.insertCell().append(revoke);
    }
  }
  byId('no-choices').hidden = rows.rows.length > 0;
}

// The developer setting works at once; the policy (slow to load right after the
// browser starts) may then lock it.
async function showDeveloperMode() {
  const box = byId('developer-mode');
  box.checked = (await api.storage.local.get('developerMode')).developerMode === true;
  box.addEventListener('change', () => api.storage.local.set({developerMode: box.checked}));
}

async function showPolicy() {
  const managed = await policy();
  byId('policy-allowed').textContent = managed.allowedOrigins.join(', ') || '—';
  byId('policy-capabilities').textContent = managed.allowedCapabilities
    .map(([pattern, names]) => `${pattern}: ${names.map(label).join(', ')}`).join('; ') || '—';
  byId('policy-blocked').textContent = managed.blockedOrigins.join(', ') || '—';
  byId('policy-ask').textContent = managed.askUsers ? 'はい / Yes' : 'いいえ / No';
  if (managed.developerMode !== undefined) {
    const box = byId('developer-mode');
    box.checked = managed.developerMode;
    box.disabled = true;
    byId('developer-mode-locked').hidden = false;
  }
}

api.storage.onChanged.addListener(() => showChoices());
showChoices();
showDeveloperMode();
showPolicy();
