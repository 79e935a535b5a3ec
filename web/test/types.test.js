// tavori.d.ts as a TypeScript service sees it: what a page writes with the
// library compiles, what the declaration forbids does not, and the READMEs'
// examples compile as written.
import assert from 'node:assert/strict';
import {readFileSync} from 'node:fs';
import {createRequire} from 'node:module';
import {fileURLToPath} from 'node:url';
import {test} from 'node:test';

// TypeScript comes with the browser rig's packages (scripts/install-deps.sh).
const ts = createRequire(new URL('../../tests/browser/package.json', import.meta.url))('typescript');
const webDir = fileURLToPath(new URL('..', import.meta.url));

// The compiler's messages for page modules beside tavori.d.ts, by module name
// (.ts, or .js checked as JavaScript), all in one program: the DOM's types are slow to read.
function typeErrors(modules) {
  const files = new Map(Object.entries(modules).map(([name, source]) => [`${webDir}${name}`, source]));
  // Examples are plain JavaScript: their parameters have no types.
  const options = {strict: true, noImplicitAny: false, noEmit: true, allowJs: true, checkJs: true,
    target: ts.ScriptTarget.ES2022, module: ts.ModuleKind.ESNext, moduleResolution: ts.ModuleResolutionKind.Bundler,
    lib: ['lib.es2022.d.ts', 'lib.dom.d.ts'], types: []};
  const host = ts.createCompilerHost(options);
  const {fileExists, readFile, getSourceFile} = host;
  host.fileExists = (name) => files.has(name) || fileExists.call(host, name);
  host.readFile = (name) => files.get(name) ?? readFile.call(host, name);
  host.getSourceFile = (name, version) => (files.has(name) ? ts.createSourceFile(name, files.get(name), version, true)
    : getSourceFile.call(host, name, version));
  const program = ts.createProgram([...files.keys()], options, host);
  const errors = Object.fromEntries(Object.keys(modules).map((name) => [name, []]));
  for (const diagnostic of ts.getPreEmitDiagnostics(program)) {
    const name = diagnostic.file ? diagnostic.file.fileName.slice(webDir.length) : 'program';
    (errors[name] ??= []).push(ts.flattenDiagnosticMessageText(diagnostic.messageText, '\n'));
  }
  return errors;
}

test('results fit what a page does with them; status() gives its named values', () => {
  const errors = typeErrors({'page.ts': `
import {authenticate, login, readCard, sign, status, changePassword, versions, TavoriError, VERSION} from './tavori.js';
import type {LoginToken} from '../server/index.js';
export async function page(key: CryptoKey, data: Uint8Array<ArrayBuffer>, challenge: string) {
  const {token, uuid: siteUuid} = await authenticate({challenge, cityCode: true, language: 'en'});
  const verified: LoginToken = token;
  const {library, extension} = await versions();
  const known: string[] = [library, extension ?? 'none', VERSION, siteUuid, JSON.stringify(verified)];
  const {signature, certificate, uuid, cityCode} = await login({digest: data, serviceId: '01'});
  await crypto.subtle.verify('RSASSA-PKCS1-v1_5', key, signature, data);
  await crypto.subtle.importKey('spki', certificate, {name: 'RSASSA-PKCS1-v1_5', hash: 'SHA-256'}, false, ['verify']);
  const {signatures} = await sign({digests: [data]});
  await crypto.subtle.verify('RSASSA-PKCS1-v1_5', key, signatures[0], data);
  const card = await readCard({individualNumber: true});
  const items: string[] = [card.name, card.address, card.birthday, card.sex, card.uuid, uuid];
  const number: string | undefined = card.individualNumber;
  const city: string | undefined = cityCode;
  const state: 'ready' | 'host-missing' | 'extension-missing' = await status();
  const changed: {uuid: string} = await changePassword();
  try { await status(); } catch (error) { if (error instanceof TavoriError) console.log(error.code, error.stage); }
  return [items, number, city, state, changed, known];
}`});
  assert.deepEqual(errors, {'page.ts': []});
});

test('what the declaration forbids does not compile', () => {
  const cases = [
    ['an item the card may lack, taken as text', `const card = await readCard(); const n: string = card.individualNumber;`],
    ['a status beyond its values', `const s = await status(); if (s === 'consent-denied') {}`],
    ['a digest as text', `await login({digest: 'abc'});`],
    ['an unknown option', `await sign({digests: [], pin: '1234'});`],
    ['a digest to authenticate', `await authenticate({challenge: 'c', digest: new Uint8Array(32)});`],
    ['authenticate without a challenge', `await authenticate({serviceId: '01'});`],
    ['an extension version that may be missing, taken as text', `const v: string = (await versions()).extension;`],
  ];
  const errors = typeErrors(Object.fromEntries(cases.map(([, body], i) => [`page${i}.ts`,
    `import {authenticate, login, readCard, sign, status, versions} from './tavori.js';
export async function page() { ${body} }`])));
  cases.forEach(([name], i) => assert.ok(errors[`page${i}.ts`].length > 0, name));
});

// Each js example of a README as a JavaScript module beside tavori.d.ts, with the
// names it leaves to the service declared.
test('the READMEs\' examples compile as written', () => {
  const examples = ['README.md', '../README.md'].flatMap((name) => [...readFileSync(new URL(`../${name}`, import.meta.url),
    'utf8').matchAll(/```js\n([\s\S]*?)```/g)].map((match) => match[1].replace(/from '[^']*tavori\.js'/g,
    'from \'./tavori.js\'')));
  assert.ok(examples.length >= 2, 'no examples found');
  const modules = Object.fromEntries(examples.map((example, i) => [`example${i}.js`, `${example}\nexport {};\n`]));
  modules['service.d.ts'] = `declare function showInstallHelp(): void;
declare function showMessage(code: string, errcode?: string): void;
declare const challenge: string;`;
  const errors = typeErrors(modules);
  for (const [name, messages] of Object.entries(errors)) assert.deepEqual(messages, [], `${name}:\n${modules[name]}`);
});
