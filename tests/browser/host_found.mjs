// Whether a browser finds the installed host by itself: no manifest of the
// rig's own, only the folders the browser reads system-wide. The demo page asks
// the library's status(); the extension probes the host (the wrapper refuses
// the probe from its length, so no TAV starts). Prints "ok ..." or "FAILED ...";
// exit code 0 when the status is the one expected.
// Usage: host_found.mjs chromium|firefox ready|host-missing   (TAV_RIG_WORK: a fresh folder)
import {enableDeveloperSetting} from './demo_steps.mjs';
import {launchBrowser, rigWork, serveWeb} from './rig.mjs';

const [kind, expected] = process.argv.slice(2);
if (!['chromium', 'firefox'].includes(kind) || !['ready', 'host-missing'].includes(expected)) {
  throw new Error('usage: host_found.mjs chromium|firefox ready|host-missing');
}
const web = await serveWeb();
const browser = await launchBrowser(kind, rigWork(), {managedPolicy: {developerMode: true}});
let status;
try {
  await enableDeveloperSetting(browser);
  const page = await browser.newPage();
  await page.goto(`${web.origin}/demo/`);
  status = await page.evaluate(async () => (await import('../tavori.js')).status());
} finally {
  await browser.close();
  await web.close();
}
console.log(`${status === expected ? 'ok  ' : 'FAILED'} ${kind} finds the host: status() gave ${status}, expected ${expected}`);
process.exit(status === expected ? 0 : 1);
