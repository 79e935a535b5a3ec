// The consent window: names the asking origin in large type, with its registrable
// part (by the Public Suffix List, as TAV's screens bold it) in bold.
import {registrableSplit} from './rules/origin-display.js';

const api = globalThis.browser ?? globalThis.chrome;
const origin = new URLSearchParams(location.search).get('origin') || '';

const shown = document.getElementById('origin');
const {prefix, registrable, suffix} = registrableSplit(origin);
const bold = document.createElement('b');
bold.textContent = registrable;
const before = document.createElement('span');
before.textContent = prefix;
const after = document.createElement('span');
after.textContent = suffix;
shown.append(before, bold, after);

for (const [id, choice] of [['allow', 'allow'], ['allow-once', 'once'], ['deny', 'deny']]) {
  // The background closes this window once it has the choice; closing it here
  // could reach the background first and count as no choice.
  document.getElementById(id).addEventListener('click', () => {
    api.runtime.sendMessage({type: 'consent', choice}).catch(() => window.close());
  });
}
