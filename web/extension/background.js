// The extension's background (service worker in Chromium, event page in Firefox):
// takes each page request from the content script's port and runs it (rules/).

import {ConsentStore, readPolicy} from './rules/consent.js';
import {HostProbe} from './rules/host-probe.js';
import {RequestRun} from './rules/request-run.js';
import {RequestSlot} from './rules/request-slot.js';
import {SiteUuid} from './rules/site-uuid.js';

const api = globalThis.browser ?? globalThis.chrome;
const HOST_NAME = 'com.vandrel.kelvarist.tavori';
const PORT_NAME = 'tavori-request';

const slot = new RequestSlot();
const consentWindows = new Set(); // origins whose consent window is open
const consentStore = new ConsentStore(api.storage.local);
const siteUuid = new SiteUuid(api.storage.local);
const pendingConsents = new Map(); // consent window id → resolve(choice)

async function managedPolicy() {
  try {
    return readPolicy(await api.storage.managed.get(null));
  } catch {
    // Firefox without a managed-storage manifest, or no policy at all.
    return readPolicy({});
  }
}

async function loadSettings() {
  const policy = await managedPolicy();
  const local = await api.storage.local.get('developerMode');
  const developerMode = policy.developerMode ?? local.developerMode === true;
  return {developerMode, policy, choices: await consentStore.choices()};
}

function connectHost({onMessage, onDisconnect}) {
  const port = api.runtime.connectNative(HOST_NAME);
  port.onMessage.addListener(onMessage);
  port.onDisconnect.addListener((gone) => {
    const error = gone.error ?? api.runtime.lastError;
    onDisconnect(error ? error.message : '');
  });
  return {post: (message) => port.postMessage(message), close: () => port.disconnect()};
}

const hostProbe = new HostProbe(connectHost);

async function askConsent({origin, capability, mode}, signal) {
  const query = new URLSearchParams({origin, capability, mode});
  const url = api.runtime.getURL(`consent.html?${query}`);
  const window = await api.windows.create({url, type: 'popup', width: 560, height: 520, focused: true});
  return new Promise((resolve) => {
    pendingConsents.set(window.id, (choice) => {
      pendingConsents.delete(window.id);
      resolve(choice);
    });
    const abandon = () => {
      pendingConsents.get(window.id)?.('deny');
      api.windows.remove(window.id).catch(() => {});
    };
    // The page may have gone while the window was being created.
    if (signal.aborted) abandon();
    else signal.addEventListener('abort', abandon);
  });
}

// The consent window's answer; only our own consent page may give it.
api.runtime.onMessage.addListener((message, sender) => {
  if (message?.type !== 'consent' || sender.id !== api.runtime.id) return;
  if (!String(sender.url).startsWith(api.runtime.getURL('consent.html'))) return;
  const windowId = sender.tab?.windowId;
  const resolve = pendingConsents.get(windowId);
  if (!resolve || !['allow', 'once', 'deny'].includes(message.choice)) return;
  resolve(message.choice);
  api.windows.remove(windowId).catch(() => {});
});

// A consent window closed without a choice denies this request only.
api.windows.onRemoved.addListener((windowId) => pendingConsents.get(windowId)?.('once-closed'));

api.runtime.onConnect.addListener((port) => {
  if (port.name !== PORT_NAME || port.sender?.id !== api.runtime.id || !port.sender.tab) return;
  let open = true;
  let started = false;
  const run = new RequestRun({
    slot, consentWindows, loadSettings, consentStore, askConsent, connectHost,
    probeStatus: () => hostProbe.status(),
    siteUuid: (uuid, origin) => siteUuid.of(uuid, origin),
    reply: (message) => { if (open) port.postMessage(message); },
  });
  port.onDisconnect.addListener(() => {
    open = false;
    run.cancel('gone');
  });
  // After the first message only a cancel matters; keepalives just arrive.
  port.onMessage.addListener((message) => {
    if (message?.type === 'cancel') run.cancel('page');
    else if (!started) {
      started = true;
      run.start(message, port.sender);
    }
  });
});
