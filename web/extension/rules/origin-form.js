// The one form of origin that both programs take, as TAV's ParseRequestOrigin
// (common/request_origin.cpp) takes it: exactly what a browser writes for an https
// page, or an http page on this machine. So a name with a trailing dot, say, is
// refused here as there, and never slips past an exact policy entry. The cases
// both are tested on: tests/data/request_origins.txt.

const MAX_ORIGIN_LENGTH = 267;
const MAX_HOST_LENGTH = 253;
const LOOPBACK_HOSTS = new Set(['localhost', '127.0.0.1', '[::1]']);

const LABEL = /^[a-z\d](?:[a-z\d-]{0,61}[a-z\d])?$/;
const IPV4_PART = /^(?:0|[1-9]\d{0,2})$/;
const IPV6_GROUPS = /^[\da-f]{1,4}(?::[\da-f]{1,4})*$/;

const isIpv4 = (labels) => labels.length === 4 && labels.every((part) => IPV4_PART.test(part) && Number(part) <= 255);

// Eight groups, or fewer around one "::", written as a browser writes them (its
// URL parser gives that form).
function isIpv6(address) {
  const sides = address.split('::');
  if (sides.length > 2 || !sides.every((side) => side === '' || IPV6_GROUPS.test(side))) return false;
  const groups = sides.reduce((count, side) => count + (side ? side.split(':').length : 0), 0);
  if (sides.length === 1 ? groups !== 8 : groups > 7) return false;
  return new URL(`https://[${address}]`).hostname === `[${address}]`;
}

function isHost(host) {
  if (host.length === 0 || host.length > MAX_HOST_LENGTH) return false;
  if (host.startsWith('[')) return host.endsWith(']') && isIpv6(host.slice(1, -1));
  const labels = host.split('.');
  // A browser reads a name ending in a number as an IPv4 address.
  return labels.every((label) => LABEL.test(label)) && (/^[a-z]/.test(labels.at(-1)) || isIpv4(labels));
}

// {scheme, host, port} of an origin of that form (port '' when it names none), or null.
export function parseOrigin(text) {
  if (typeof text !== 'string' || text.length > MAX_ORIGIN_LENGTH) return null;
  const scheme = /^(https?):\/\//.exec(text)?.[1];
  if (!scheme) return null;
  const authority = text.slice(scheme.length + 3);
  // The port's colon is the first one after any IPv6 brackets.
  const colon = authority.indexOf(':', Math.max(authority.lastIndexOf(']'), 0));
  const host = colon < 0 ? authority : authority.slice(0, colon);
  const port = colon < 0 ? '' : authority.slice(colon + 1);
  // A browser leaves out the scheme's own port, so "https://a:443" is no form of "https://a".
  if (colon >= 0 && (!/^[1-9]\d{0,4}$/.test(port) || Number(port) > 65535 || port === (scheme === 'https' ? '443' : '80'))) {
    return null;
  }
  if (!isHost(host) || (scheme === 'http' && !LOOPBACK_HOSTS.has(host))) return null;
  return {scheme, host, port};
}
