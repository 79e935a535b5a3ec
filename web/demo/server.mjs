// The demo as a service: serves web/ (the page, the library, the demo) and logs
// the page in with authenticate(), verifying the token on this server.
//
//   TAVORI_DEMO_TRUST_ANCHORS=auth-ca.der[:more.pem] node web/demo/server.mjs
//
// TAVORI_DEMO_TRUST_ANCHORS  the CA certificates (DER or PEM files) a log-in certificate must come from
// TAVORI_DEMO_PORT           default 8000
// TAVORI_DEMO_ORIGIN         the origin tokens must name; default http://127.0.0.1:<port>
import {readFileSync, realpathSync} from 'node:fs';
import http from 'node:http';
import path from 'node:path';
import {fileURLToPath} from 'node:url';
import {loadTrustAnchors, MemoryChallengeStore} from '../../server/index.js';
import {answer, loginService} from './login-service.mjs';
import {serveFile} from './static-files.mjs';

const webRoot = realpathSync(fileURLToPath(new URL('..', import.meta.url)));

// Listens on 127.0.0.1. trustAnchorFiles: paths of CA certificates; origin: the
// page's origin as the browser reports it (default this server's on 127.0.0.1);
// log: where the verdicts go. Resolves with {port, origin, close()}.
export async function startDemoServer({port = 0, origin, trustAnchorFiles, store = new MemoryChallengeStore(),
  log = console.log} = {}) {
  const trustAnchors = loadTrustAnchors(trustAnchorFiles.map((file) => readFileSync(file)));
  if (origin !== undefined && new URL(origin).origin !== origin) throw new TypeError(`${origin} is no origin`);
  let routes = {}; // the log-in's, once the port and so the origin are known
  const server = http.createServer(async (request, response) => {
    try {
      if (!URL.canParse(request.url, 'http://demo')) {
        answer(response, 400, {code: 'bad-request'});
        return;
      }
      const route = routes[new URL(request.url, 'http://demo').pathname];
      if (route && request.method === 'POST') await route(request, response);
      else if (!route && (request.method === 'GET' || request.method === 'HEAD')) await serveFile(webRoot, request, response);
      else answer(response, 405, {code: 'method-not-allowed'});
    } catch (error) {
      log(`failed: ${error.message}`);
      if (!response.headersSent) answer(response, 500, {code: 'failed'});
      else response.destroy();
    }
  });
  await new Promise((resolve, reject) => server.once('error', reject).listen(port, '127.0.0.1', resolve));
  const bound = server.address().port;
  const expected = origin ?? `http://127.0.0.1:${bound}`;
  routes = loginService({origin: expected, trustAnchors, store, log});
  return {
    port: bound,
    origin: expected,
    close: () => new Promise((resolve) => {
      server.close(resolve);
      server.closeAllConnections();
    }),
  };
}

if (process.argv[1] && path.resolve(process.argv[1]) === fileURLToPath(import.meta.url)) {
  const files = (process.env.TAVORI_DEMO_TRUST_ANCHORS ?? '').split(path.delimiter).filter(Boolean);
  if (files.length === 0) {
    console.error('TAVORI_DEMO_TRUST_ANCHORS names no CA certificate file');
    process.exit(2);
  }
  const demo = await startDemoServer({port: Number(process.env.TAVORI_DEMO_PORT ?? 8000),
    origin: process.env.TAVORI_DEMO_ORIGIN, trustAnchorFiles: files});
  console.log(`the demo: http://127.0.0.1:${demo.port}/demo/ (log-in tokens must name ${demo.origin})`);
}
