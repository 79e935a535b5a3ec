// The browser rig: the web pages on loopback, the real extension in headless
// Chromium (playwright-core) or Firefox ESR (puppeteer-core over WebDriver BiDi),
// the native host registered for it through a launcher that counts its starts,
// and a driver playing the user on TAV's screens. Shared by the main job
// (main_login.mjs), the end-to-end cases (browser_cases.mjs) and the timings
// (timings.mjs). The host is of one of two kinds (TAV_RIG_HOST):
//   wine   TAV_Wrapper.exe under wine64; wrapper_driver.exe plays the user
//   linux  the Linux TAV_Wrapper beside tav_driven as TAV, whose screen driver
//          plays the user with the steps the launcher hands it (TAV_TEST_STEPS)
// The cases speak the Windows driver's steps; playUser says them to either.
//
// Environment (set by browser_flow.sh and scripts/run-main.sh):
//   TAV_RIG_HOST     wine (default) or linux
//   TAV_RIG_WORK     a fresh folder for profiles, manifests and logs
//   TAV_RIG_INSTALL  the folder with the host's programs (and, under Wine, winscard.dll)
//   TAV_RIG_DRIVER   wrapper_driver.exe (wine)
//   TAV_RIG_TRUST_ANCHORS  the virtual card's user-authentication CA certificate, for the demo server
//   WINE, WINEPREFIX, TAV_TEST_READERS   as for the other end-to-end scripts (wine)
import {spawn, spawnSync} from 'node:child_process';
import fs from 'node:fs';
import path from 'node:path';
import {fileURLToPath} from 'node:url';
import {startDemoServer} from '../../web/demo/server.mjs';

export const HOST_NAME = 'com.vandrel.kelvarist.tavori';
export const CHROMIUM_ID = 'mblpkikokepdkceenhnccllbdbchmdbb';
export const FIREFOX_ID = 'tavori@kelvarist.vandrel';
// An http name that the browsers resolve to 127.0.0.1: an insecure context.
export const INSECURE_HOST = 'tavori-insecure.test';

export const HOST_KIND = process.env.TAV_RIG_HOST === 'linux' ? 'linux' : 'wine';

const here = path.dirname(fileURLToPath(import.meta.url));
const root = path.resolve(here, '../..');
const webRoot = path.join(root, 'web');

function need(name) {
  const value = process.env[name];
  if (!value) throw new Error(`${name} is not set`);
  return value;
}

// The demo's server (web/demo/server.mjs) on 127.0.0.1 (any free port): web/ and
// the log-in's challenges and verdicts, on tokens from the virtual card's CA
// (TAV_RIG_TRUST_ANCHORS). Reached as http://127.0.0.1:<port>, the origin its
// tokens must name, http://localhost:<port> and http://tavori-insecure.test:<port>,
// three origins. verdicts: the lines it printed.
export async function serveWeb() {
  const verdicts = [];
  const demo = await startDemoServer({trustAnchorFiles: [need('TAV_RIG_TRUST_ANCHORS')], log: (line) => {
    verdicts.push(line);
    console.log(line);
  }});
  return {
    port: demo.port,
    origin: demo.origin,
    otherOrigin: `http://localhost:${demo.port}`,
    insecureOrigin: `http://${INSECURE_HOST}:${demo.port}`,
    verdicts,
    close: demo.close,
  };
}

// The native host: a launcher that notes each start, then runs the wrapper on
// the browser's own pipes (under wine, or the Linux one with the user's steps).
export class NativeHost {
  constructor(kind, work) {
    this.work = work;
    this.starts = path.join(work, 'host-starts.log');
    this.launcher = path.join(work, 'tav-host.sh');
    const install = need('TAV_RIG_INSTALL');
    const start = `#!/bin/sh
echo "start $(date +%s%3N)" >>'${this.starts}'
`;
    if (HOST_KIND === 'linux') {
      fs.writeFileSync(this.launcher, `${start}[ -f '${linuxSteps()}' ] && TAV_TEST_STEPS="$(cat '${linuxSteps()}')" && export TAV_TEST_STEPS
exec '${install}/TAV_Wrapper'
`, {mode: 0o755});
    } else {
      fs.writeFileSync(this.launcher, `${start}export WINEPREFIX='${need('WINEPREFIX')}' WINEDEBUG=-all WINEDLLOVERRIDES='mscoree,mshtml=;winscard=n'
export TAV_TEST_READERS='${process.env.TAV_TEST_READERS || ''}'
exec '${process.env.WINE || 'wine'}' '${install}/TAV_Wrapper.exe'
`, {mode: 0o755});
    }
    const allowed = kind === 'chromium'
      ? {allowed_origins: [`chrome-extension://${CHROMIUM_ID}/`]}
      : {allowed_extensions: [FIREFOX_ID]};
    this.manifestDir = kind === 'chromium'
      ? path.join(work, 'profile', 'NativeMessagingHosts')
      : path.join(work, 'home', '.mozilla', 'native-messaging-hosts');
    this.manifest = path.join(this.manifestDir, `${HOST_NAME}.json`);
    this.manifestText = JSON.stringify({name: HOST_NAME, description: 'Tavori (test)', path: this.launcher,
      type: 'stdio', ...allowed});
    this.register();
  }

  register() {
    fs.mkdirSync(this.manifestDir, {recursive: true});
    fs.writeFileSync(this.manifest, this.manifestText);
  }

  // Registers a host that answers every request at once with the answer, once it
  // has read the request (a browser may report a host that left its input unread).
  registerInstant(answer) {
    const text = Buffer.from(JSON.stringify(answer));
    const length = Buffer.alloc(4);
    length.writeUInt32LE(text.length);
    const frame = path.join(this.work, 'instant-answer');
    fs.writeFileSync(frame, Buffer.concat([length, text]));
    const launcher = path.join(this.work, 'instant-host.sh');
    fs.writeFileSync(launcher, `#!/bin/sh
head -c "$(head -c 4 | od -An -tu4 | tr -d ' ')" >/dev/null
exec cat '${frame}'
`, {mode: 0o755});
    fs.writeFileSync(this.manifest, this.manifestText.replace(JSON.stringify(this.launcher), JSON.stringify(launcher)));
  }

  unregister() {
    fs.rmSync(this.manifest, {force: true});
  }

  startCount() {
    return this.startTimes().length;
  }

  // When the browser started the host, in ms since 1970, one entry per start.
  startTimes() {
    if (!fs.existsSync(this.starts)) return [];
    return fs.readFileSync(this.starts, 'utf8').split('\n').filter(Boolean).map((line) => Number(line.split(' ')[1]));
  }
}

// Acts on TAV's screens while the browser runs the host, with the Windows
// driver's steps (screen=<Name>, fill=1002:<text>, click=1, mark=<name>, gone).
// Returns {done, mark(name)}: done resolves with {ok, marks: {name: ms since
// 1970}, log}; mark(name) resolves with a mark's time once the step was reached.
export function playUser(steps) {
  return HOST_KIND === 'linux' ? playUserOnLinux(steps) : playUserUnderWine(steps);
}

// wrapper_driver.exe in attach mode.
function playUserUnderWine(steps) {
  const wine = process.env.WINE || 'wine';
  const child = spawn(wine, [need('TAV_RIG_DRIVER'), '-', '-', ...steps], {
    env: {...process.env, WINEDEBUG: '-all'}, stdio: ['ignore', 'pipe', 'pipe']});
  const marks = {};
  const waiting = new Map();
  let out = '';
  let log = '';
  child.stdout.on('data', (chunk) => {
    out += chunk;
    let newline;
    while ((newline = out.indexOf('\n')) >= 0) {
      const [name, ms] = out.slice(0, newline).trim().split(' ');
      out = out.slice(newline + 1);
      if (!name || !ms) continue;
      marks[name] = Number(ms);
      waiting.get(name)?.(marks[name]);
    }
  });
  child.stderr.on('data', (chunk) => { log += chunk; });
  const done = new Promise((resolve) => child.on('close', (status) => {
    for (const resolveMark of waiting.values()) resolveMark(undefined);
    const reasons = log.split('\n').filter((line) => line.startsWith('wrapper_driver:')).join('\n');
    resolve({ok: status === 0, marks, log: reasons});
  }));
  const mark = (name) => (name in marks ? Promise.resolve(marks[name])
    : new Promise((resolve) => waiting.set(name, resolve)));
  return {done, mark};
}

// The Qt screens' names of the Windows screens' fields, screen by screen.
const QT_FIELDS = {
  PasswordSetScreen: {1002: 'password'},
  PasswordChangeScreen: {1002: 'current', 1004: 'new', 1005: 'confirmation'},
};

// The steps of the next TAV that the launcher starts, for tav_driven.
const linuxSteps = () => path.join(need('TAV_RIG_WORK'), 'user-steps');

// tav_driven plays the steps itself, in the TAV that the wrapper starts: each
// mark becomes a picture it saves once it got there (its time is the mark's).
// With "gone" the play has ended well once that TAV has run and ended (a step
// that cannot act leaves it on its screen); without, once a last picture is saved.
function playUserOnLinux(steps, limitMs = 90000) {
  const marksDir = path.join(need('TAV_RIG_WORK'), `marks-${Date.now()}`);
  fs.mkdirSync(marksDir, {recursive: true});
  const markFile = (name) => path.join(marksDir, `${name}.png`);
  const untilGone = steps.includes('gone');
  let screen = '';
  const said = steps.filter((step) => step !== 'gone').map((step) => {
    const [verb, value] = step.split(/=(.*)/s);
    if (verb === 'screen') screen = value;
    if (verb === 'mark') return `snap=${markFile(value)}`;
    if (verb === 'fill') {
      const [id, text] = value.split(/:(.*)/s);
      return `fill=${QT_FIELDS[screen]?.[id] ?? id}:${text}`;
    }
    if (step === 'click=1') return 'click=ok';
    if (step === 'click=2') return 'click=cancel';
    return step;
  });
  if (!untilGone) said.push(`snap=${markFile('all-played')}`);
  fs.writeFileSync(linuxSteps(), said.join(' '));
  const program = path.join(need('TAV_RIG_INSTALL'), 'TAV');
  const marks = {};
  const markTime = (name) => {
    if (!(name in marks) && fs.existsSync(markFile(name))) marks[name] = fs.statSync(markFile(name)).mtimeMs;
    return marks[name];
  };
  let ran = false;
  const ended = () => {
    if (tavRuns(program)) ran = true;
    else if (ran) return true;
    return false;
  };
  const done = (async () => {
    const played = await until(untilGone ? ended : () => markTime('all-played') !== undefined, limitMs, 50);
    fs.rmSync(linuxSteps(), {force: true});
    for (const name of steps.filter((step) => step.startsWith('mark=')).map((step) => step.slice(5))) markTime(name);
    const log = played ? '' : `tav_driven: ${untilGone && ran ? 'TAV did not end' : 'the steps did not play'} ` +
      `within ${limitMs} ms: ${said.join(' ')}`;
    return {ok: played, marks, log};
  })();
  let over = false;
  done.then(() => { over = true; });
  const mark = async (name) => {
    await until(() => markTime(name) !== undefined || over, limitMs, 20);
    return markTime(name);
  };
  return {done, mark};
}

// A process runs the program (its /proc entry names it as its executable).
function tavRuns(program) {
  for (const entry of fs.readdirSync('/proc')) {
    if (!/^[0-9]+$/.test(entry)) continue;
    try {
      if (fs.readlinkSync(`/proc/${entry}/exe`) === program) return true;
    } catch {
      // gone meanwhile, or not ours to look at
    }
  }
  return false;
}

// Command APDUs to the card in a reader through OpenSC, a PC/SC client of its
// own (one session, which leaves the card as it is); the status word of the last
// one ("9000", "63C3").
export function openscStatus(reader, apdus) {
  const args = ['-r', String(reader), ...apdus.flatMap((apdu) => ['-s', apdu])];
  const out = spawnSync('opensc-tool', args, {encoding: 'utf8', timeout: 20000});
  const words = [...`${out.stdout}`.matchAll(/SW1=0x([0-9A-Fa-f]{2}), SW2=0x([0-9A-Fa-f]{2})/g)];
  const last = words.at(-1);
  return last ? `${last[1]}${last[2]}`.toUpperCase() : `no answer: ${out.stderr || out.error}`;
}

const CHROMIUM_ARGS = ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
  '--disable-background-networking', '--disable-component-update', '--disable-sync',
  `--host-resolver-rules=MAP ${INSECURE_HOST} 127.0.0.1`];

// One browser with the real extension. The cases use what both drivers' pages
// share: goto, evaluate, click, reload, close, waitForSelector, frames(),
// keyboard.press, mouse.click.
export async function launchBrowser(kind, work, {managedPolicy} = {}) {
  const extension = prepareExtension(kind, work);
  if (kind === 'chromium') {
    const {chromium} = await import('playwright-core');
    const context = await chromium.launchPersistentContext(path.join(work, 'profile'), {
      executablePath: process.env.TAV_CHROMIUM || '/usr/bin/chromium', headless: true,
      args: [...CHROMIUM_ARGS, `--disable-extensions-except=${extension}`, `--load-extension=${extension}`,
        '--disable-features=DisableLoadExtensionCommandLineSwitch'],
    });
    if (context.serviceWorkers().length === 0) await context.waitForEvent('serviceworker', {timeout: 15000});
    return {
      kind, context,
      newPage: () => context.newPage(),
      waitForPage: async (part, timeout = 15000) => {
        let found;
        await until(() => (found = context.pages().find((page) => page.url().includes(part))), timeout, 50);
        if (!found) throw new Error(`no page ${part} opened within ${timeout} ms`);
        return found;
      },
      openExtensionPage: async (file) => {
        const page = await context.newPage();
        await page.goto(`chrome-extension://${CHROMIUM_ID}/${file}`);
        return page;
      },
      close: () => context.close(),
    };
  }
  const puppeteer = (await import('puppeteer-core')).default;
  const home = path.join(work, 'home');
  if (managedPolicy) {
    // Firefox reads an extension's managed storage from this per-user manifest.
    const dir = path.join(home, '.mozilla', 'managed-storage');
    fs.mkdirSync(dir, {recursive: true});
    fs.writeFileSync(path.join(dir, `${FIREFOX_ID}.json`), JSON.stringify({name: FIREFOX_ID,
      description: 'Tavori policy (test)', type: 'storage', data: managedPolicy}));
  }
  const browser = await puppeteer.launch({
    browser: 'firefox', executablePath: process.env.TAV_FIREFOX || '/usr/bin/firefox-esr', headless: true,
    env: {...process.env, HOME: home},
    extraPrefsFirefox: {'network.dns.localDomains': INSECURE_HOST},
  });
  await browser.installExtension(extension);
  return {
    kind, browser,
    newPage: () => browser.newPage(),
    // Firefox reports an extension window's address as about:blank: ask the window itself.
    waitForPage: async (part, timeout = 15000) => {
      let found;
      const href = (page) => page.evaluate(() => location.href).catch(() => '');
      await until(async () => {
        for (const page of await browser.pages()) {
          if ((await href(page)).includes(part)) return (found = page);
        }
        return false;
      }, timeout, 100);
      if (!found) throw new Error(`no page ${part} opened within ${timeout} ms`);
      return found;
    },
    close: () => browser.close(),
  };
}

// The extension as the browser loads it: web/extension with the browser's manifest.
function prepareExtension(kind, work) {
  const dir = path.join(work, 'extension');
  fs.cpSync(path.join(webRoot, 'extension'), dir, {recursive: true});
  if (kind === 'firefox') fs.renameSync(path.join(dir, 'manifest.firefox.json'), path.join(dir, 'manifest.json'));
  else fs.rmSync(path.join(dir, 'manifest.firefox.json'));
  return dir;
}

export const rigWork = () => need('TAV_RIG_WORK');

// Polls until the check is true or the time is up.
export async function until(check, timeoutMs, stepMs = 100) {
  const end = Date.now() + timeoutMs;
  for (;;) {
    if (await check()) return true;
    if (Date.now() > end) return false;
    await new Promise((resolve) => setTimeout(resolve, stepMs));
  }
}
