// The page's side end to end in one headless browser (chromium | firefox) with the
// real extension: what a page the user allowed gets, and what is refused before
// the host starts. Prints "ok   <case>" or "FAILED <case>: <why>" per case, then
// "N passed, N failed"; exit code 0 when all passed.
// Usage (through browser_flow.sh): browser_cases.mjs chromium|firefox
import fs from 'node:fs';

import {answerConsent, authenticateAs, demoLogin, enableDeveloperSetting, fetchChallenge, postToken, pressAndWait,
  tokenVerifiesHere, verifiedHere} from './demo_steps.mjs';
import {HOST_KIND, launchBrowser, NativeHost, openscStatus, playUser, rigWork, serveWeb, until} from './rig.mjs';

const kind = process.argv[2];
if (kind !== 'chromium' && kind !== 'firefox') throw new Error('usage: browser_cases.mjs chromium|firefox');
const work = rigWork();
const web = await serveWeb();
const host = new NativeHost(kind, work);
// Firefox's options page is out of the test's reach: the administrator's policy
// turns the developer setting on there.
const browser = await launchBrowser(kind, work, {managedPolicy: {developerMode: true}});

let passed = 0;
let failed = 0;
async function test(name, body) {
  try {
    await body();
    passed += 1;
    console.log(`ok   ${kind} ${name}`);
  } catch (error) {
    failed += 1;
    console.log(`FAILED ${kind} ${name}: ${error.message}`);
  }
}
function expect(condition, what) {
  if (!condition) throw new Error(what);
}
// Runs the body and checks that the host was not started meanwhile.
async function hostNeverStarts(body) {
  const before = host.startCount();
  await body();
  expect(host.startCount() === before, `the host was started ${host.startCount() - before} times`);
}
async function demoPage(origin) {
  const page = await browser.newPage();
  await page.goto(`${origin}/demo/`);
  return page;
}

// A message in the extension's namespace, posted as a page could without the library
// (also with keys the library never sends, and from a sandboxed frame, whose own
// origin is none a target could name). Resolves with the extension's final reply.
function rawRequest(target, request, type = 'request') {
  return target.evaluate(([message, kind]) => new Promise((resolve) => {
    const id = `raw-${Math.random()}`;
    window.addEventListener('message', (event) => {
      const data = event.data;
      if (event.source === window && data && data.id === id && data.from === 'extension' &&
          (data.type === 'error' || data.type === 'answer')) {
        resolve(data);
      }
    });
    setTimeout(() => resolve({type: 'none'}), 15000);
    window.postMessage({ns: 'com.vandrel.kelvarist.tavori', from: 'page', type: kind, id, request: message}, '*');
  }), [request, type]);
}
const login = {mode: '01', latest_version: '1', available_version: '1', digest: 'AAE='};
// The library's log-in or status from a page or frame: the error code, 'answer', or the status.
// Nobody types a PIN for these: the shortest user stage ends a request that should
// have been refused but reached TAV.
const libraryLogin = (target) => target.evaluate(async () => {
  const tavori = await import('../tavori.js');
  return tavori.login({digest: new Uint8Array(32), timeouts: {user: 10000}}).then(() => 'answer', (error) => error.code);
});
const libraryStatus = (target) => target.evaluate(async () => (await import('../tavori.js')).status());
// The page's changePassword(): the uuid it got, or the error code.
const libraryUuid = (target) => target.evaluate(async () => (await import('../tavori.js')).changePassword()
  .then((result) => result.uuid, (error) => error.code));

// Keys and clicks on the consent window while its buttons are still inactive, as a
// page's user typing or clicking fast where it opens: Tab, Enter, Space and a click
// on "Always allow", in turn. Returns how many fell while every button was inactive.
async function pressWhileInactive(window) {
  const allow = await window.evaluate(() => {
    const box = document.getElementById('allow').getBoundingClientRect();
    return {x: box.x + box.width / 2, y: box.y + box.height / 2};
  });
  // A focus event starts the window's wait again: from that moment on the case
  // knows how much of the second is left, and presses only well inside it, so
  // that no press can land just after the buttons wake.
  await window.evaluate(() => {
    window.waitFrom = performance.now();
    window.dispatchEvent(new FocusEvent('focus'));
  });
  const early = () => window.evaluate(() => performance.now() - window.waitFrom < 400 &&
    [...document.querySelectorAll('button')].every((b) => b.disabled));
  const presses = [() => window.keyboard.press('Tab'), () => window.keyboard.press('Enter'),
    () => window.keyboard.press(' '), () => window.mouse.click(allow.x, allow.y)];
  let pressed = 0;
  while (pressed < 40 && await early()) {
    for (const press of presses) await press();
    pressed += presses.length;
  }
  return pressed;
}

await test('insecure origin (http on a name other than this machine): refused by the library', () =>
  hostNeverStarts(async () => {
    const page = await demoPage(web.insecureOrigin);
    const result = await libraryLogin(page);
    expect(result === 'insecure-context', `the page got ${result}`);
    await page.close();
  }));

if (kind === 'chromium') {
  await test('http on this machine without the developer setting: refused by the extension', () =>
    hostNeverStarts(async () => {
      const page = await demoPage(web.origin);
      const reply = await rawRequest(page, login);
      expect(reply.code === 'insecure-context', `the page got ${JSON.stringify(reply)}`);
      await page.close();
    }));
  await enableDeveloperSetting(browser);
}

await test('consent denied in the consent window: typed error, host never started; asked once', () =>
  hostNeverStarts(async () => {
    const page = await demoPage(web.otherOrigin);
    const pressed = pressAndWait(page, '#login-button', 'login', 30000);
    pressed.catch(() => {});
    const named = await answerConsent(browser, 'deny');
    expect(named === web.otherOrigin, `the consent window named ${named}`);
    const first = await pressed;
    expect(first.code === 'consent-denied', `the page got ${JSON.stringify(first)}`);
    const again = await pressAndWait(page, '#login-button', 'login', 10000);
    expect(again.code === 'consent-denied', `the second time the page got ${JSON.stringify(again)}`);
    await page.close();
  }));

const page = await demoPage(web.origin);
await test('log-in with authenticate(), allowed in the consent window: the demo server verifies the token, once',
  async () => {
    const {result, challenge, named, user} = await demoLogin(browser, page, {consent: 'allow'});
    expect(user.ok, `the user on TAV's screens: ${user.log}`);
    expect(named === web.origin, `the consent window named ${named}`);
    expect(result.state === 'ok', `the page got ${JSON.stringify(result)}`);
    expect(result.verified === true, `the server answered ${JSON.stringify(result.server)}`);
    const {token} = result.value;
    expect(token.origin === web.origin, `the token names ${token.origin}`);
    expect(tokenVerifiesHere(token, challenge), 'the token does not verify as RS256 over its origin and challenge');
    const said = `verified: log-in certificate serial ${result.server.serialNumber}, issuer ${result.server.issuer}`;
    expect(web.verdicts.at(-1) === said, `the server printed ${web.verdicts.at(-1)}`);
    const shown = await page.evaluate(() => document.getElementById('login-verify').textContent);
    expect(shown === said, `the page shows ${shown}`);
    const replayed = await postToken(page, token);
    expect(replayed.code === 'challenge' && replayed.reason === 'used', `the same token again: ${JSON.stringify(replayed)}`);
  });

await test('a token with a flipped byte: refused (signature), and its challenge with it', async () => {
  const challenge = await fetchChallenge(page);
  const {token, error, user} = await authenticateAs(browser, page, challenge);
  expect(token && user.ok, `authenticate() gave ${error}; the user on TAV's screens: ${user.log}`);
  const signature = Buffer.from(token.signature, 'base64');
  signature[100] ^= 0x01;
  const flipped = await postToken(page, {...token, signature: signature.toString('base64')});
  expect(flipped.code === 'signature', `the server answered ${JSON.stringify(flipped)}`);
  const intact = await postToken(page, token);
  expect(intact.code === 'challenge', `the intact token afterwards: ${JSON.stringify(intact)}`);
});

await test('another site relays this site\'s challenge: its token is refused here (origin-mismatch; its origin ' +
  'rewritten, signature)', async () => {
  const phishing = await serveWeb();
  const other = await demoPage(phishing.origin);
  try {
    const challenge = await fetchChallenge(page);
    const {token, error, user} = await authenticateAs(browser, other, challenge, {consent: 'allow-once'});
    expect(token && user.ok, `authenticate() gave ${error}; the user on TAV's screens: ${user.log}`);
    expect(token.origin === phishing.origin, `the token names ${token.origin}`);
    const rewritten = await postToken(page, {...token, origin: web.origin});
    expect(rewritten.code === 'signature', `with this site's origin written in: ${JSON.stringify(rewritten)}`);
    const relayed = await postToken(page, token);
    expect(relayed.code === 'origin-mismatch', `as it was made: ${JSON.stringify(relayed)}`);
  } finally {
    await other.close();
    await phishing.close();
  }
});

await test('authenticate messages a page shapes itself, and challenges that are none: refused, host never started',
  () => hostNeverStarts(async () => {
    const base = {mode: '01', latest_version: '1', available_version: '1'};
    const challenge = Buffer.alloc(32, 7).toString('base64url');
    for (const [message, type] of [[{...base, challenge, digest: login.digest}, 'authenticate'],
      [base, 'authenticate'], [{...base, challenge: challenge.slice(1)}, 'authenticate'], [{...login, challenge}, 'request']]) {
      const reply = await rawRequest(page, message, type);
      expect(reply.code === 'refused', `${type} ${JSON.stringify(message)}: ${JSON.stringify(reply)}`);
    }
    const library = await page.evaluate(async () => (await import('../tavori.js')).authenticate({challenge: 'c2hvcnQ'})
      .then(() => 'answer', (error) => error.code));
    expect(library === 'refused', `the library gave ${library}`);
  }));

await test('signing three digests: each signature verifies', async () => {
  const texts = ['first document', 'second document', 'third document'];
  await page.evaluate((lines) => { document.getElementById('sign-texts').value = lines.join('\n'); }, texts);
  const user = playUser(['screen=PasswordSetScreen', 'fill=1002:abc123', 'click=1', 'gone']);
  // Allowed to log in, the site is asked again before it signs.
  const pressed = pressAndWait(page, '#sign-button', 'sign');
  pressed.catch(() => {});
  await answerConsent(browser, 'allow');
  const result = await pressed;
  const played = await user.done;
  expect(played.ok, `the user on TAV's screens: ${played.log}`);
  expect(result.state === 'ok' && result.value.signatures.length === 3, `the page got ${JSON.stringify(result)}`);
  expect(result.verified === true, 'the page\'s own check failed');
  result.value.signatures.forEach((signature, i) => expect(
    verifiedHere(result.value.certificate, signature, Buffer.from(texts[i])), `signature ${i + 1} does not verify`));
});

// The PIN state of the log-in key as a second PC/SC client sees it: VERIFY
// without data answers 9000 while the PIN counts as verified, 63Cx (tries
// left) when it must be given again.
const SELECT_AUTH_PIN = ['00 A4 04 0C 0A D3 92 F0 00 26 01 00 00 00 01', '00 A4 02 0C 02 00 18'];
if (HOST_KIND === 'linux') {
  await test('after a log-in, OpenSC on the same reader is asked for the PIN again: TAV reset the card', async () => {
    // OpenSC leaves the card as it is: a PIN verified in one session still counts in the next.
    const given = openscStatus(0, [...SELECT_AUTH_PIN, '00 20 00 80 04 31 32 33 34']);
    const kept = openscStatus(0, [...SELECT_AUTH_PIN, '00 20 00 80']);
    expect(given === '9000' && kept === '9000', `OpenSC's own PIN: verify ${given}, next session ${kept}`);
    const {result, user} = await demoLogin(browser, page);
    expect(user.ok && result.state === 'ok', `the log-in: ${JSON.stringify(result)} ${user.log}`);
    const after = openscStatus(0, [...SELECT_AUTH_PIN, '00 20 00 80']);
    expect(/^63C[1-9A-F]$/.test(after), `after TAV's log-in the PIN state is ${after}`);
  });
}

// Presses a button whose capability the site was not allowed yet; the user
// allows it this once, so that a later case is asked again.
async function pressAllowedOnce(target, button, operation) {
  const pressed = pressAndWait(target, button, operation);
  pressed.catch(() => {});
  await answerConsent(browser, 'allow-once');
  // The window is gone before a later case looks for the next one (Firefox lists a closing window a while).
  await until(() => browser.waitForPage('consent.html', 100).then(() => false, () => true), 10000, 100);
  return pressed;
}

await test('personal data (readCard, 04): the name, address, birthday and sex printed on the card', async () => {
  const user = playUser(['screen=PasswordSetScreen', 'fill=1002:1234', 'click=1', 'gone']);
  const result = await pressAllowedOnce(page, '#card-button', 'readCard');
  const played = await user.done;
  expect(played.ok, `the user on TAV's screens: ${played.log}`);
  const value = result.value ?? {};
  expect(result.state === 'ok' && value.name === '番号　花子' && value.address === '東京都千代田区霞が関２丁目１番２号' &&
    value.birthday === '19850415' && value.sex === '2' && !('individualNumber' in value),
  `the page got ${JSON.stringify(result)}`);
});

await test('GPKI signing (signGpki, 11): the card in the second reader signs, the signature verifies', async () => {
  const user = playUser(['screen=PasswordSetScreen', 'fill=1002:GPKI1234', 'click=1', 'gone']);
  const result = await pressAndWait(page, '#gpki-sign-button', 'signGpki');
  const played = await user.done;
  expect(played.ok, `the user on TAV's screens: ${played.log}`);
  expect(result.state === 'ok' && result.verified === true, `the page got ${JSON.stringify(result)}`);
  expect(verifiedHere(result.value.certificate, result.value.signatures[0], Buffer.from('gpki document')),
    'the signature does not verify');
});

await test('password change (changePassword, 06): changed, changed back with the new one, then ended', async () => {
  const change = (from, to) => ['screen=PasswordSelectScreen', 'click=1', 'screen=PasswordChangeScreen',
    `fill=1002:${from}`, `fill=1004:${to}`, `fill=1005:${to}`, 'click=1', 'screen=PasswordChangeResultScreen', 'click=1'];
  const user = playUser([...change('1234', '4321'), ...change('4321', '1234'), 'screen=PasswordSelectScreen', 'click=2',
    'alert=ok', 'gone']);
  const result = await pressAllowedOnce(page, '#password-button', 'changePassword');
  const played = await user.done;
  expect(played.ok, `the user on TAV's screens: ${played.log}`);
  expect(result.state === 'ok' && /^[0-9A-F]{32}$/.test(result.value.uuid ?? ''), `the page got ${JSON.stringify(result)}`);
});

await test('a site allowed to log in is asked before it reads the card; keys and clicks in the window\'s first second choose nothing',
  () => hostNeverStarts(async () => {
    const pressed = pressAndWait(page, '#card-button', 'readCard', 60000);
    pressed.catch(() => {});
    const window = await browser.waitForPage('consent.html');
    // Where the focus is the moment the buttons wake: a key pressed a moment later
    // may move it on, as the user's own Tab would.
    await window.evaluate(() => {
      const deny = document.getElementById('deny');
      window.firstFocus = new Promise((resolve) => {
        if (!deny.disabled) resolve(document.activeElement.id);
        const watch = new MutationObserver(() => {
          if (deny.disabled) return;
          watch.disconnect();
          resolve(document.activeElement.id);
        });
        watch.observe(deny, {attributes: true, attributeFilter: ['disabled']});
      });
    });
    const pressedEarly = await pressWhileInactive(window);
    expect(pressedEarly >= 4, `only ${pressedEarly} keys and clicks fell in the window's first second`);
    const asked = await window.evaluate(() => document.getElementById('capability').textContent);
    expect(asked.includes('券面事項'), `the window asked about ${asked}`);
    const waiting = await page.evaluate(() => window.tavoriDemo.readCard.state);
    expect(waiting === 'running', `the page got ${waiting} before the user chose`);
    const focused = await window.evaluate(() => window.firstFocus);
    expect(focused === 'deny', `the first focus is on ${focused}`);
    await window.focus('#deny');
    await window.keyboard.press('Tab');
    const next = await window.evaluate(() => document.activeElement.id);
    expect(next === 'allow-once', `Tab from Deny reaches ${next}`);
    await answerConsent(browser, 'deny');
    const result = await pressed;
    expect(result.code === 'consent-denied', `the page got ${JSON.stringify(result)}`);
  }));

await test('a consent window that waits holds up no other site: another tab logs in meanwhile', async () => {
  const asking = await demoPage(web.otherOrigin);
  const waiting = pressAndWait(asking, '#sign-button', 'sign', 120000);
  waiting.catch(() => {});
  await browser.waitForPage('consent.html');
  const {result, user} = await demoLogin(browser, page);
  expect(user.ok, `the user on TAV's screens: ${user.log}`);
  expect(result.state === 'ok' && result.verified === true, `the other tab got ${JSON.stringify(result)}`);
  await answerConsent(browser, 'deny');
  const denied = await waiting;
  expect(denied.code === 'consent-denied', `the waiting page got ${JSON.stringify(denied)}`);
  await asking.close();
});

await test('a second request while one runs: busy at once (another tab, and the same page); cancel() ends the first',
  async () => {
    const user = playUser(['screen=PasswordSetScreen', 'mark=shown', 'screen=ErrorScreen', 'click=1', 'gone']);
    const first = pressAndWait(page, '#login-button', 'login', 60000);
    await user.mark('shown');
    const other = await demoPage(web.origin);
    await hostNeverStarts(async () => {
      const started = Date.now();
      const reply = await rawRequest(other, login);
      expect(reply.code === 'busy' && Date.now() - started < 2000, `the other tab got ${JSON.stringify(reply)}`);
      const same = await libraryLogin(page);
      expect(same === 'busy', `the same page got ${same}`);
    });
    await other.close();
    await page.click('#cancel-button');
    const result = await first;
    expect(result.code === 'cancelled', `the first request ended with ${JSON.stringify(result)}`);
    const played = await user.done;
    expect(played.ok, `TAV after the cancel: ${played.log}`);
  });

// The page goes away while TAV asks for the PIN: the extension sends the cancel
// frame, TAV shows that the page went away and ends once that is closed, and no
// program is left.
for (const [how, leave] of [
  ['tab closed', (gone) => gone.close()],
  ['page navigates away', (gone) => gone.goto(`${web.origin}/demo/demo.css`)],
  ['page reloads', (gone) => gone.reload()],
]) {
  await test(`${how} during the password screen: TAV ends without an answer, no process left`, async () => {
    const leaving = await demoPage(web.origin);
    const user = playUser(['screen=PasswordSetScreen', 'mark=shown', 'screen=ErrorScreen', 'click=1', 'gone']);
    leaving.click('#login-button');
    expect(await user.mark('shown'), 'TAV showed no password screen');
    await leave(leaving);
    const played = await user.done;
    expect(played.ok, `after the page left: ${played.log}`);
    if (how !== 'tab closed') await leaving.close();
  });
}

await test('a page-supplied file_path and file_password: refused, host never started', () =>
  hostNeverStarts(async () => {
    const reply = await rawRequest(page, {mode: '02', latest_version: '1', available_version: '1', digest: 'AAE=',
      file_path: 'C:\\Users\\Public\\key.p12', file_password: 'x'});
    expect(reply.code === 'refused', `the page got ${JSON.stringify(reply)}`);
  }));

await test('an iframe of another origin is judged by its own (denied) origin, not the allowed page\'s', () =>
  hostNeverStarts(async () => {
    await page.evaluate((source) => new Promise((resolve) => {
      const frame = document.createElement('iframe');
      frame.src = source;
      frame.onload = resolve;
      document.body.append(frame);
    }), `${web.otherOrigin}/demo/`);
    const frame = page.frames().find((candidate) => candidate.url().startsWith(web.otherOrigin));
    expect(frame, 'the iframe did not load');
    await until(() => frame.evaluate(() => Boolean(window.tavoriDemo)), 5000);
    const reply = await libraryLogin(frame);
    expect(reply === 'consent-denied', `the iframe got ${reply}`);
  }));

await test('a sandboxed frame is refused (insecure-context) by the library and by the extension', () =>
  hostNeverStarts(async () => {
    await page.evaluate((source) => new Promise((resolve) => {
      const frame = document.createElement('iframe');
      frame.sandbox = 'allow-scripts';
      frame.src = source;
      frame.onload = resolve;
      document.body.append(frame);
    }), `${web.origin}/demo/?sandboxed`);
    const frame = page.frames().find((candidate) => candidate.url().includes('?sandboxed'));
    expect(frame, 'the sandboxed frame did not load');
    const library = await libraryLogin(frame);
    expect(library === 'insecure-context', `the library in the frame gave ${library}`);
    const reply = await rawRequest(frame, login);
    expect(reply.code === 'insecure-context', `the extension answered the frame ${JSON.stringify(reply)}`);
  }));

await test('a 200-character host keeps its registrable part, in bold, inside the consent window', () =>
  hostNeverStarts(async () => {
    const pressed = pressAndWait(page, '#password-button', 'changePassword', 60000);
    pressed.catch(() => {});
    const window = await browser.waitForPage('consent.html');
    // The same popup, now naming such a host: no page of the test can be served on one.
    const named = `https://${'a'.repeat(69)}.${'b'.repeat(63)}.${'c'.repeat(63)}.jp`;
    await window.evaluate((origin) => location.replace(`consent.html?${new URLSearchParams({origin,
      capability: 'login', mode: '01'})}`), named).catch(() => {});
    const shown = await until(() => window.evaluate((origin) =>
      document.getElementById('origin')?.textContent === origin, named).catch(() => false), 10000);
    expect(shown, 'the consent window did not show the long host');
    const layout = await window.evaluate(() => {
      const inside = (element) => {
        const box = element.getBoundingClientRect();
        return box.width > 0 && box.left >= 0 && box.right <= innerWidth && box.top >= 0 && box.bottom <= innerHeight;
      };
      const root = document.documentElement;
      return {site: inside(document.getElementById('site')), bold: inside(document.querySelector('#origin b')),
        scrolls: root.scrollWidth > root.clientWidth, width: innerWidth, height: innerHeight};
    });
    expect(layout.site && layout.bold && !layout.scrolls, `the registrable part left the window: ${JSON.stringify(layout)}`);
    // Closed without a choice: this request is denied, nothing is kept.
    await window.close();
    const result = await pressed;
    expect(result.code === 'consent-denied', `the page got ${JSON.stringify(result)}`);
  }));

await test('each site gets its own uuid, stable for it, in the host\'s form', async () => {
  const hostUuid = '0123456789ABCDEF0123456789ABCDEF';
  host.registerInstant({mode: '06', result: '0', uuid: hostUuid});
  const other = await demoPage(web.otherOrigin);
  try {
    const first = libraryUuid(page);
    await answerConsent(browser, 'allow');
    const uuids = [await first, await libraryUuid(page)];
    const fromOther = libraryUuid(other);
    await answerConsent(browser, 'allow-once');
    uuids.push(await fromOther);
    expect(uuids.every((uuid) => /^[0-9A-F]{32}$/.test(uuid)), `the pages got ${uuids}`);
    expect(uuids[0] === uuids[1], `one site got ${uuids[0]} and ${uuids[1]}`);
    expect(uuids[2] !== uuids[0] && !uuids.includes(hostUuid), `the sites got ${uuids}`);
  } finally {
    host.register();
    await other.close();
  }
});

await test('extension present, host not registered: status and a request tell "host missing" in time', async () => {
  host.unregister();
  try {
    const started = Date.now();
    const status = await libraryStatus(page);
    expect(status === 'host-missing', `status() gave ${status}`);
    const reply = await libraryLogin(page);
    const took = Date.now() - started;
    expect(reply === 'host-missing', `login() gave ${reply}`);
    expect(took < 10000, `it took ${took} ms`);
  } finally {
    host.register();
  }
  const status = await libraryStatus(page);
  expect(status === 'ready', `status() gave ${status} once the host was registered again`);
});

// After the host-missing case: a ready host is not probed again.
await test('versions(): the library\'s and the extension\'s, shown on the demo\'s status', async () => {
  const manifest = JSON.parse(fs.readFileSync(new URL('../../web/extension/manifest.json', import.meta.url), 'utf8'));
  const {version} = JSON.parse(fs.readFileSync(new URL('../../web/package.json', import.meta.url), 'utf8'));
  await page.click('#status-button');
  let shown;
  await until(async () => (shown = await page.evaluate(() => window.tavoriDemo.status))?.state !== 'running', 15000);
  const versions = shown?.value?.versions;
  expect(shown?.value?.status === 'ready' && versions?.library === version && versions?.extension === manifest.version,
    `the demo's status shows ${JSON.stringify(shown)}`);
});

await browser.close();
await web.close();
console.log(`${kind}: ${passed} passed, ${failed} failed`);
process.exit(failed === 0 ? 0 : 1);
