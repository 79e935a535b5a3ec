// The service's own origin, exactly as a browser serialises it: https with a
// lower-case host and no default port, path or trailing slash; http only on
// a loopback host, for development.
const LOOPBACK = new Set(['localhost', '127.0.0.1', '[::1]']);

export function checkOrigin(origin) {
  const url = typeof origin === 'string' && URL.canParse(origin) ? new URL(origin) : null;
  if (!url || url.origin !== origin ||
      !(url.protocol === 'https:' || (url.protocol === 'http:' && LOOPBACK.has(url.hostname)))) {
    throw new TypeError(`options.origin is a bare https origin such as "https://service.example.jp", not ${JSON.stringify(origin)}`);
  }
  return origin;
}
