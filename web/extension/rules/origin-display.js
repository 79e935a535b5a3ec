// Splits an origin for display so that the part a user should recognise stands out:
// "https://login." + "example.go.jp" + ":8443". The bold part is the host's
// registrable domain by the Public Suffix List, from the table the build makes out
// of the same list as TAV's (public-suffix-list.js), so both programs bold the same.

import {PUBLIC_SUFFIX_RULES} from './public-suffix-list.js';

const NAME = 1;
const WILDCARD = 2;
const EXCEPTION = 4;

// Punycode name → its kinds, as bits.
const RULES = new Map();
for (const rule of PUBLIC_SUFFIX_RULES.split('\n').filter(Boolean)) {
  const [bit, name] = rule.startsWith('!') ? [EXCEPTION, rule.slice(1)] : rule.startsWith('*.') ? [WILDCARD, rule.slice(2)] : [NAME, rule];
  RULES.set(name, (RULES.get(name) ?? 0) | bit);
}

// How many labels of the host its public suffix has: the longest matching rule's,
// unless an exception matches, which always prevails; by the list's implicit rule
// "*", at least the last label.
function publicSuffixLabels(labels) {
  let suffix = 1;
  for (let count = 1; count <= labels.length; count++) {
    const kinds = RULES.get(labels.slice(-count).join('.')) ?? 0;
    if (kinds & EXCEPTION) return count - 1;
    if (kinds & NAME) suffix = count;
    if (kinds & WILDCARD && count < labels.length) suffix = count + 1;
  }
  return suffix;
}

export function registrableSplit(origin) {
  let url;
  try {
    url = new URL(origin);
  } catch {
    return {prefix: '', registrable: origin, suffix: ''};
  }
  const host = url.hostname;
  const scheme = `${url.protocol}//`;
  const suffix = url.port ? `:${url.port}` : '';
  // Addresses, and names that are public suffixes themselves, are registrable whole.
  const labels = host.split('.');
  const take = publicSuffixLabels(labels) + 1;
  if (/^[\d.]+$|^\[/.test(host) || labels.length <= take) return {prefix: scheme, registrable: host, suffix};
  return {prefix: scheme + labels.slice(0, -take).join('.') + '.', registrable: labels.slice(-take).join('.'), suffix};
}
