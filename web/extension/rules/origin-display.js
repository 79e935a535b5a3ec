// Splits an origin for display so that the part a user should recognise stands out:
// "https://login." + "example.go.jp" + ":8443".

// Second-level labels under which a registrable name takes three labels.
const JP_SECOND_LEVEL = new Set(['ac', 'ad', 'co', 'ed', 'go', 'gr', 'lg', 'ne', 'or']);

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
  const labels = host.split('.');
  if (/^[\d.]+$|^\[/.test(host) || labels.length <= 2) return {prefix: scheme, registrable: host, suffix};
  const take = labels.at(-1) === 'jp' && JP_SECOND_LEVEL.has(labels.at(-2)) ? 3 : 2;
  const registrable = labels.slice(-take).join('.');
  return {prefix: scheme + labels.slice(0, -take).join('.') + '.', registrable, suffix};
}
