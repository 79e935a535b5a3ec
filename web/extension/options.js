// The options page: the user's per-site choices (each revocable), the
// administrator's policy (read only) and the developer setting.
import {ConsentStore, readPolicy} from './rules/consent.js';

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

async function showChoices() {
  const choices = await store.choices();
  const rows = byId('choice-rows');
  rows.replaceChildren();
  for (const [origin, choice] of Object.entries(choices).sort()) {
    const row = rows.insertRow();
    row.dataset.origin = origin;
    row.insertCell().textContent = origin;
    row.insertCell().textContent = choice === 'allow' ? '許可 / Allowed' : '拒否 / Denied';
    const revoke = document.createElement('button');
    revoke.type = 'button';
    revoke.className = 'revoke';
    revoke.textContent = '取り消す / Revoke';
    revoke.addEventListener('click', async () => {
      await store.revoke(origin);
      await showChoices();
    });
    row.insertCell().append(revoke);
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
