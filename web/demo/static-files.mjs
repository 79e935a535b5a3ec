// The demo server's files: what is under web/, read-only, never a dotfile or
// anything a path or a link leads to outside it.
import {createReadStream} from 'node:fs';
import {realpath, stat} from 'node:fs/promises';
import path from 'node:path';

const TYPES = {'.html': 'text/html; charset=utf-8', '.js': 'text/javascript', '.mjs': 'text/javascript',
  '.css': 'text/css', '.json': 'application/json', '.md': 'text/markdown; charset=utf-8'};

// The file a GET or HEAD names, or null.
async function fileOf(root, url) {
  let wanted;
  try {
    wanted = decodeURIComponent(new URL(url, 'http://demo').pathname);
  } catch {
    return null; // no UTF-8 behind its % escapes
  }
  if (wanted.includes('\0') || wanted.split('/').some((part) => part.startsWith('.'))) return null;
  try {
    let file = await realpath(path.join(root, wanted));
    if ((await stat(file)).isDirectory()) file = await realpath(path.join(file, 'index.html'));
    return file.startsWith(root + path.sep) && (await stat(file)).isFile() ? file : null;
  } catch {
    return null;
  }
}

// root: the real path of the folder served.
export async function serveFile(root, request, response) {
  const file = await fileOf(root, request.url);
  if (!file) {
    response.writeHead(404, {'content-type': 'text/plain'}).end('not found');
    return;
  }
  // Any origin may load the files: the library is imported from sandboxed frames too.
  response.writeHead(200, {'content-type': TYPES[path.extname(file)] || 'application/octet-stream',
    'cache-control': 'no-store', 'x-content-type-options': 'nosniff', 'access-control-allow-origin': '*'});
  if (request.method === 'HEAD') response.end();
  else createReadStream(file).pipe(response);
}
