// The main job: the demo page's log-in in headless Chromium through the real
// extension, TAV_Wrapper.exe and TAV.exe with the virtual card, verified by the
// demo's server. Allows the demo's origin in the real consent window, lets the
// driver type the PIN, prints the token the page posted, the server's verdict
// (the server prints it as it makes it) and what the page shows of it. Exit code
// 0 when the server verified the log-in.
import {demoLogin, enableDeveloperSetting, tokenVerifiesHere} from './demo_steps.mjs';
import {launchBrowser, NativeHost, rigWork, serveWeb} from './rig.mjs';

const work = rigWork();
const web = await serveWeb();
const host = new NativeHost('chromium', work);
const browser = await launchBrowser('chromium', work);
let ok = false;
try {
  await enableDeveloperSetting(browser);
  const page = await browser.newPage();
  await page.goto(`${web.origin}/demo/`);
  console.log(`=== the demo page ${web.origin}/demo/ calls authenticate() with the demo server's challenge; ` +
    'the user allows it and types the PIN; the demo server checks the token');
  const {result, challenge, named, user} = await demoLogin(browser, page, {consent: 'allow'});
  console.log(`=== the consent window named ${named}`);
  console.log('=== what the page received: the token it posted to the demo server, the uuid beside it');
  console.log(JSON.stringify(result.value ?? result, null, 2));
  if (!user.ok) console.log(`the driver on TAV's screens: ${user.log}`);
  if (result.state === 'ok') {
    const shown = await page.evaluate(() => document.getElementById('login-verify').textContent);
    console.log(`=== the page shows the server's check: ${shown}`);
    const here = tokenVerifiesHere(result.value.token, challenge);
    console.log(`=== the token as RS256 over SHA-256(origin) || SHA-256(challenge) with Node's OpenSSL: ${
      here ? 'verified' : 'NOT verified'}`);
    ok = result.verified === true && web.verdicts.some((line) => line.startsWith('verified: ')) && here && user.ok;
  }
  console.log(`=== host starts: ${host.startCount()}`);
} finally {
  await browser.close();
  await web.close();
}
process.exit(ok ? 0 : 1);
