// The consent window: names the asking origin (its registrable part, by the
// Public Suffix List as TAV's screens bold it, on a line of its own, in bold),
// says what the capability lets the site do, and takes an answer only once the
// window has been seen and focused for a second.
import {CAPABILITIES} from './rules/capabilities.js';
import {registrableSplit} from './rules/origin-display.js';
import {originLine} from './origin-line.js';
import {enableWhenSteady} from './rules/steady-focus.js';

const api = globalThis.browser ?? globalThis.chrome;
const query = new URLSearchParams(location.search);
const origin = query.get('origin') || '';
const named = query.get('capability');
const capability = Object.hasOwn(CAPABILITIES, named) ? CAPABILITIES[named] : undefined;
const byId = (id) => document.getElementById(id);

byId('site').textContent = registrableSplit(origin).registrable;
byId('origin').append(originLine(origin));

const buttons = [byId('deny'), byId('allow-once'), byId('allow')];
if (capability) {
  byId('capability').textContent = `${capability.label.ja} / ${capability.label.en}`;
  byId('what').textContent = capability.ja;
  byId('what-en').textContent = capability.en;
  const note = capability.modeNotes?.[query.get('mode')];
  if (note) {
    byId('mode-note').textContent = `${note.ja} ${note.en}`;
    byId('mode-note').hidden = false;
  }
}

for (const [button, choice] of [[buttons[0], 'deny'], [buttons[1], 'once'], [buttons[2], 'allow']]) {
  // The background closes this window once it has the choice; closing it here
  // could reach the background first and count as no choice.
  button.addEventListener('click', () => {
    api.runtime.sendMessage({type: 'consent', choice}).catch(() => window.close());
  });
}
// A window that names no capability can only be closed (which denies).
if (capability) enableWhenSteady(window, buttons, () => buttons[0].focus());
