// The main job: the demo page's log-in in headless Chromium through the real
// extension, TAV_Wrapper.exe and TAV.exe with the virtual card. Allows the demo's
// origin in the real consent window, lets the driver type the PIN, prints the
// answer the page received and the signature checks (the page's WebCrypto and
// Node's). Exit code 0 when the page got a log-in signature that verifies.
import {demoLogin, enableDeveloperSetting, verifiedHere} from './demo_steps.mjs';
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
  console.log(`=== the demo page ${web.origin}/demo/ calls login(); the user allows it and types the PIN`);
  const {result, challenge, named, user} = await demoLogin(browser, page, {consent: 'allow'});
  console.log(`=== the consent window named ${named}`);
  console.log('=== the answer the page received');
  console.log(JSON.stringify(result.value ?? result, null, 2));
  if (!user.ok) console.log(`the driver on TAV's screens: ${user.log}`);
  if (result.state === 'ok') {
    const here = verifiedHere(result.value.certificate, result.value.signature, challenge);
    console.log(`=== signature check in the page (WebCrypto): ${result.verified ? 'verified' : 'NOT verified'}`);
    console.log(`=== signature check with the certificate's key (Node's OpenSSL): ${here ? 'verified' : 'NOT verified'}`);
    ok = result.verified === true && here && user.ok;
  }
  console.log(`=== host starts: ${host.startCount()}`);
} finally {
  await browser.close();
  await web.close();
}
process.exit(ok ? 0 : 1);
