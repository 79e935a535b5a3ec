// The page library as a service installs it: the tarball `npm pack` makes,
// type-checked with tsc --strict and bundled with esbuild as a service's page would be.
import assert from 'node:assert/strict';
import {execFileSync} from 'node:child_process';
import {mkdirSync, mkdtempSync, writeFileSync} from 'node:fs';
import {createRequire} from 'node:module';
import {tmpdir} from 'node:os';
import path from 'node:path';
import {fileURLToPath} from 'node:url';
import {test} from 'node:test';

// The dev tools come with the browser rig's packages (scripts/install-deps.sh).
const tools = createRequire(new URL('../../tests/browser/package.json', import.meta.url));
const webDir = fileURLToPath(new URL('..', import.meta.url));

// A service's page: an origin-bound log-in and what it posts.
const EXAMPLE = `import {authenticate, status, versions, TavoriError, type LoginToken} from 'tavori';

export async function logIn(): Promise<string> {
  if (await status() !== 'ready') return 'install';
  const {library, extension} = await versions();
  const {challenge} = await (await fetch('/login/challenge', {method: 'POST'})).json() as {challenge: string};
  try {
    const {token}: {token: LoginToken} = await authenticate({challenge, combinationCode: true});
    const verdict = await fetch('/login', {method: 'POST', body: JSON.stringify(token)});
    return \`\${verdict.status} \${library} \${extension ?? 'no extension'}\`;
  } catch (error) {
    if (error instanceof TavoriError) return error.code;
    throw error;
  }
}
`;

// The packed library installed into a service's folder with the example beside it.
function serviceProject() {
  const dir = mkdtempSync(path.join(tmpdir(), 'tavori-package-'));
  const [packed] = JSON.parse(execFileSync('npm', ['pack', '--json', '--pack-destination', dir],
    {cwd: webDir, encoding: 'utf8', stdio: ['ignore', 'pipe', 'pipe']}));
  const installed = path.join(dir, 'node_modules', 'tavori');
  mkdirSync(installed, {recursive: true});
  execFileSync('tar', ['-xzf', path.join(dir, packed.filename), '-C', installed, '--strip-components=1']);
  writeFileSync(path.join(dir, 'example.ts'), EXAMPLE);
  writeFileSync(path.join(dir, 'unused.ts'), 'import {VERSION} from \'tavori\';\nexport const none = 0;\n');
  writeFileSync(path.join(dir, 'tsconfig.json'), JSON.stringify({
    compilerOptions: {strict: true, noEmit: true, target: 'es2022', module: 'esnext', moduleResolution: 'bundler',
      lib: ['es2022', 'dom'], types: []},
    files: ['example.ts'],
  }));
  return {dir, files: packed.files.map((file) => file.path).sort()};
}

test('npm pack: the library, its types, README and changelog; it type-checks strictly and bundles', async () => {
  const {dir, files} = serviceProject();
  assert.deepEqual(files, ['CHANGELOG.md', 'README.md', 'package.json', 'tavori.d.ts', 'tavori.js']);

  const tsc = tools.resolve('typescript/bin/tsc');
  execFileSync(process.execPath, [tsc, '-p', dir], {encoding: 'utf8'});

  const esbuild = tools('esbuild');
  const bundle = async (entry) => (await esbuild.build({entryPoints: [path.join(dir, entry)], bundle: true,
    write: false, format: 'esm', platform: 'browser', absWorkingDir: dir, logLevel: 'silent'})).outputFiles[0].text;
  const page = await bundle('example.ts');
  assert.match(page, /tavori-auth:1/);
  assert.match(page, /com\.vandrel\.kelvarist\.tavori/);
  // Nothing of the library stays where nothing of it is used.
  assert.doesNotMatch(await bundle('unused.ts'), /tavori/);
});
