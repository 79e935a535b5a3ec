// Local revocation services for the live tests: a tiny http server for CRLs
// and OpenSSL's OCSP responder for the vectors' test CA (vectors/pki), each on
// a free port of this machine, stopped by the test.
import {spawn} from 'node:child_process';
import {once} from 'node:events';
import {createServer} from 'node:http';

// routes: path -> bytes, or null for a request that is never answered.
export async function startHttp(routes) {
  const server = createServer((request, response) => {
    if (!(request.url in routes)) {
      response.writeHead(404).end();
    } else if (routes[request.url] !== null) {
      response.writeHead(200, {'content-type': 'application/pkix-crl'}).end(routes[request.url]);
    }
  });
  server.listen(0, '127.0.0.1');
  await once(server, 'listening');
  return {
    url: (path) => `http://127.0.0.1:${server.address().port}${path}`,
    stop: () => new Promise((resolve) => { server.closeAllConnections(); server.close(resolve); }),
  };
}

export async function startOcspResponder(pki) {
  const responder = spawn('openssl', ['ocsp', '-port', '0', '-index', 'index.txt', '-CA', 'auth-ca.pem',
    '-rsigner', 'ocsp-responder.pem', '-rkey', 'ocsp-responder.key'], {cwd: pki});
  let output = '';
  const port = await new Promise((resolve, reject) => {
    const read = (chunk) => {
      output += chunk;
      const accept = /ACCEPT .*:(\d+) /.exec(output);
      if (accept) resolve(Number(accept[1]));
    };
    responder.stdout.on('data', read);
    responder.stderr.on('data', read);
    responder.on('exit', () => reject(new Error(`openssl ocsp ended: ${output}`)));
  });
  return {
    url: `http://127.0.0.1:${port}/`,
    stop: async () => {
      responder.kill();
      if (responder.exitCode === null && responder.signalCode === null) await once(responder, 'exit');
    },
  };
}
