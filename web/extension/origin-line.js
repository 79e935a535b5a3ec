// An origin as the consent window and the options page show it: the registrable
// part in bold between the rest, which is shown as text only.
import {registrableSplit} from './rules/origin-display.js';

export function originLine(origin) {
  const {prefix, registrable, suffix} = registrableSplit(origin);
  const bold = document.createElement('b');
  bold.textContent = registrable;
  const line = document.createDocumentFragment();
  line.append(prefix, bold, suffix);
  return line;
}
