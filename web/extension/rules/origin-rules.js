// Which origins may talk to the host. The origin always comes from the browser
// (the sender of the content script's port), never from the page's own words.

import {parseOrigin} from './origin-form.js';

// The sending frame's origin as the browser reports it, or null.
export function originOfSender(sender) {
  if (!sender) return null;
  if (typeof sender.origin === 'string') return sender.origin;
  if (typeof sender.url !== 'string') return null;
  try {
    return new URL(sender.url).origin;
  } catch {
    return null;
  }
}

// {ok: true} for an https origin, or an http origin on a loopback host while the
// developer setting is on, each of the one form TAV takes too; otherwise
// {ok: false, code: 'insecure-context', reason}.
export function judgeOrigin(origin, {developerMode = false} = {}) {
  const refuse = (reason) => ({ok: false, code: 'insecure-context', reason});
  const form = parseOrigin(origin);
  if (!form) {
    const scheme = typeof origin === 'string' ? /^([a-z][a-z\d+.-]*):/.exec(origin)?.[1] : undefined;
    if (scheme && scheme !== 'https') return refuse(`${scheme} pages may not use the card; https is required`);
    return refuse('no usable origin');
  }
  if (form.scheme === 'http' && !developerMode) return refuse('http on this machine needs the developer setting');
  return {ok: true};
}

// Whether an origin matches a policy pattern: an exact origin ("https://a.example.jp"),
// or a host wildcard ("https://*.example.jp") that covers the domain and its subdomains.
export function originMatches(origin, pattern) {
  if (typeof pattern !== 'string') return false;
  if (pattern === origin) return true;
  const wildcard = /^(https?):\/\/\*\.([^/*]+)$/.exec(pattern);
  if (!wildcard) return false;
  let url;
  try {
    url = new URL(origin);
  } catch {
    return false;
  }
  const [, scheme, domain] = wildcard;
  const host = url.port ? `${url.hostname}:${url.port}` : url.hostname;
  return url.protocol === `${scheme}:` && (host === domain || host.endsWith(`.${domain}`));
}
