// Relays the page library's messages to the extension's background and back.
// Only messages that the page's own window posts in our namespace are taken; each
// is acknowledged at once (so the library tells "extension missing" quickly), and
// every answer is posted to the page's own origin only.
(() => {
  const api = globalThis.browser ?? globalThis.chrome;
  const NAMESPACE = 'com.vandrel.kelvarist.tavori';
  const FROM_PAGE = new Set(['request', 'authenticate', 'status', 'version', 'cancel']);
  const runs = new Map(); // the page's request id → {port to the background, end()}
  // Chromium stops an idle service worker after 30 s, also while the consent
  // window waits for the user; a message on the port keeps it running.
  const KEEPALIVE_MS = 20000;

  function toPage(id, message, origin) {
    window.postMessage({...message, ns: NAMESPACE, from: 'extension', id}, origin);
  }

  window.addEventListener('message', (event) => {
    const data = event.data;
    if (event.source !== window || !data || data.ns !== NAMESPACE || data.from !== 'page') return;
    if (!FROM_PAGE.has(data.type)) return;
    if (typeof data.id !== 'string' || data.id.length > 64) return;
    // A sandboxed frame has no origin to be judged by, and an answer to origin
    // "null" cannot be posted: it is refused here, to this window only.
    if (event.origin === 'null') {
      if (data.type === 'cancel') return;
      toPage(data.id, {type: 'ack'}, '*');
      toPage(data.id, {type: 'error', code: 'insecure-context',
        message: 'a sandboxed frame without an origin of its own cannot use Tavori'}, '*');
      return;
    }
    const origin = event.origin;
    if (data.type === 'cancel') {
      runs.get(data.id)?.port.postMessage({type: 'cancel'});
      return;
    }
    if (runs.has(data.id)) return;
    toPage(data.id, {type: 'ack'}, origin);
    if (data.type === 'version') {
      toPage(data.id, {type: 'version', version: api.runtime.getManifest().version}, origin);
      return;
    }
    const port = api.runtime.connect({name: 'tavori-request'});
    const keepalive = setInterval(() => port.postMessage({type: 'keepalive'}), KEEPALIVE_MS);
    const end = () => {
      clearInterval(keepalive);
      runs.delete(data.id);
      port.disconnect();
    };
    runs.set(data.id, {port, end});
    port.onMessage.addListener((message) => {
      toPage(data.id, message, origin);
      if (message.type !== 'progress') end();
    });
    port.onDisconnect.addListener(() => {
      clearInterval(keepalive);
      if (!runs.has(data.id)) return;
      runs.delete(data.id);
      toPage(data.id, {type: 'error', code: 'extension-missing', message: 'the extension stopped'}, origin);
    });
    port.postMessage({type: data.type, request: data.request, timeouts: data.timeouts});
  });

  // Leaving the page (also into the back-forward cache) ends its requests: the
  // background sees the port close and cancels the host.
  window.addEventListener('pagehide', () => {
    for (const run of [...runs.values()]) run.end();
  });
})();
