import assert from 'node:assert/strict';
import {createHash} from 'node:crypto';
import {readFileSync} from 'node:fs';
import {test} from 'node:test';
import {CAPABILITY_NAMES} from '../extension/rules/capabilities.js';

const read = (name) => JSON.parse(readFileSync(new URL(`../extension/${name}`, import.meta.url), 'utf8'));
const chromium = read('manifest.json');
const firefox = read('manifest.firefox.json');

test('the extension keeps the identities that the host manifests name', () => {
  // Chromium's ID: the first 32 hex digits of SHA-256 over the public key, 0-f as a-p.
  const hex = createHash('sha256').update(Buffer.from(chromium.key, 'base64')).digest('hex').slice(0, 32);
  const id = [...hex].map((digit) => String.fromCharCode(97 + parseInt(digit, 16))).join('');
  assert.equal(id, 'mblpkikokepdkceenhnccllbdbchmdbb');
  assert.equal(firefox.browser_specific_settings.gecko.id, 'tavori@kelvarist.vandrel');
});

test('both browsers get the same code, permissions and pages', () => {
  assert.deepEqual(firefox.content_scripts, chromium.content_scripts);
  assert.deepEqual(firefox.permissions, chromium.permissions);
  assert.deepEqual(firefox.options_ui, chromium.options_ui);
  assert.deepEqual(firefox.background.scripts, [chromium.background.service_worker]);
  assert.deepEqual(firefox.host_permissions, chromium.content_scripts[0].matches);
  assert.equal(firefox.version, chromium.version);
  const schema = read(chromium.storage.managed_schema).properties;
  assert.deepEqual(Object.keys(schema).sort(),
    ['allowedCapabilities', 'allowedOrigins', 'askUsers', 'blockedOrigins', 'developerMode']);
  assert.deepEqual(schema.allowedCapabilities.additionalProperties.items.enum, CAPABILITY_NAMES);
});
