// Timings of the page's side, several runs each (warm Wine: one warm-up log-in first):
//   first screen   the page calls login() → TAV shows its password screen;
//   after Enter    Enter on the password screen → the page's promise resolved, less the
//                  worker's prescribed 100 ms and the card's RSA signature (measured here
//                  with OpenSSL on the same key size);
//   extension      a log-in through library, content script and extension against a bare
//                  sendNativeMessage from the extension itself, both to a host that answers
//                  at once (Chromium: the test reaches the service worker).
// The driver looks at the screens every 20 ms, so a screen may be seen up to 20 ms late.
// Usage (through browser_flow.sh): timings.mjs chromium|firefox [runs, default 5]
import crypto from 'node:crypto';

import {demoLogin, enableDeveloperSetting} from './demo_steps.mjs';
import {HOST_NAME, launchBrowser, NativeHost, playUser, rigWork, serveWeb} from './rig.mjs';

const kind = process.argv[2];
const runs = Number(process.argv[3] || 5);
const work = rigWork();
const web = await serveWeb();
const host = new NativeHost(kind, work);
const browser = await launchBrowser(kind, work, {managedPolicy: {developerMode: true}});
const PRESCRIBED_MS = 100;

const spread = (values) => {
  const sorted = [...values].sort((a, b) => a - b);
  const median = sorted[Math.floor(sorted.length / 2)];
  return `min ${sorted[0].toFixed(1)}, median ${median.toFixed(1)}, max ${sorted.at(-1).toFixed(1)} ms ` +
    `(runs: ${values.map((value) => value.toFixed(0)).join(' ')})`;
};

function rsaSignMs() {
  const {privateKey} = crypto.generateKeyPairSync('rsa', {modulusLength: 2048});
  const started = performance.now();
  for (let i = 0; i < 20; i += 1) crypto.sign('sha256', Buffer.from(`digest ${i}`), privateKey);
  return (performance.now() - started) / 20;
}

// The page's login() call and its settling, in wall-clock ms.
const timedLogin = (page) => page.evaluate(async () => {
  const tavori = await import('../tavori.js');
  const called = Date.now();
  const outcome = await tavori.login({digest: new Uint8Array(32)}).then(() => 'answer', (error) => error.code);
  return {called, resolved: Date.now(), outcome};
});

let ok = true;
try {
  await enableDeveloperSetting(browser);
  const page = await browser.newPage();
  await page.goto(`${web.origin}/demo/`);
  const warmUp = await demoLogin(browser, page, {consent: 'allow'});
  if (warmUp.result.state !== 'ok') throw new Error(`the warm-up log-in gave ${JSON.stringify(warmUp.result)}`);

  const rsa = rsaSignMs();
  const firstScreen = [];
  const hostStart = [];
  const afterEnter = [];
  for (let run = 0; run < runs; run += 1) {
    const user = playUser(['mark=ready', 'screen=PasswordSetScreen', 'mark=shown', 'fill=1002:1234', 'mark=enter',
      'click=1', 'gone']);
    await user.mark('ready');
    const {called, resolved, outcome} = await timedLogin(page);
    const {ok: played, marks, log} = await user.done;
    if (outcome !== 'answer' || !played) throw new Error(`run ${run + 1}: ${outcome} ${log}`);
    firstScreen.push(marks.shown - called);
    hostStart.push(host.startTimes().at(-1) - called);
    afterEnter.push(resolved - marks.enter - PRESCRIBED_MS - rsa);
  }
  console.log(`time ${kind} page call -> TAV's first screen: ${spread(firstScreen)}`);
  console.log(`time ${kind}   of which page call -> the browser starts the host: ${spread(hostStart)}`);
  console.log(`time ${kind} Enter -> page's promise resolved, less ${PRESCRIBED_MS} ms and the RSA signature ` +
    `(${rsa.toFixed(1)} ms): ${spread(afterEnter)}`);

  if (browser.kind === 'chromium') {
    const answer = {mode: '01', result: '0', uuid: '0'.repeat(32), signature: 'AAE=', certificate: 'AAE='};
    host.registerInstant(answer);
    // Alternately, so that both meet the same load on the machine.
    const [worker] = browser.context.serviceWorkers();
    const bareOnce = () => worker.evaluate(async (name) => {
      const started = performance.now();
      await chrome.runtime.sendNativeMessage(name, {mode: '01', latest_version: '1', available_version: '1',
        digest: 'AAE='});
      return performance.now() - started;
    }, HOST_NAME);
    const throughExtension = [];
    const bare = [];
    for (let run = 0; run < runs * 4; run += 1) {
      bare.push(await bareOnce());
      const {called, resolved, outcome} = await timedLogin(page);
      if (outcome !== 'answer') throw new Error(`instant host: ${outcome}`);
      throughExtension.push(resolved - called);
    }
    host.register();
    console.log(`time ${kind} login() through the extension to an instant host: ${spread(throughExtension)}`);
    console.log(`time ${kind} bare sendNativeMessage to the same host: ${spread(bare)}`);
    console.log(`time ${kind} the extension's own share (the library, content script and background; ` +
      `run by run): ${spread(throughExtension.map((value, i) => value - bare[i]))}`);
  }
} catch (error) {
  ok = false;
  console.log(`FAILED timings: ${error.message}`);
} finally {
  await browser.close();
  await web.close();
}
process.exit(ok ? 0 : 1);
