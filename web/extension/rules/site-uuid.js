// Each site's own form of the host's installation identifier ("uuid"), so that
// two sites cannot match their users by it: HMAC-SHA-256 over the origin and the
// host's value, under a random key that the extension makes once and keeps; the
// first 16 bytes as 32 upper-case hexadecimal characters, the host's own form.

export const SITE_KEY_NAME = 'siteUuidKey';
const KEY_FORM = /^[0-9a-f]{64}$/;

const hex = (bytes) => Array.from(bytes, (byte) => byte.toString(16).padStart(2, '0')).join('');

export class SiteUuid {
  // area: a storage area with the browser's get/set promise API.
  constructor(area, crypto = globalThis.crypto) {
    this.area = area;
    this.crypto = crypto;
    this.key = null;
  }

  async of(uuid, origin) {
    const mac = await this.crypto.subtle.sign('HMAC', await this.hmacKey(), new TextEncoder().encode(`${origin}\n${uuid}`));
    return hex(new Uint8Array(mac, 0, 16)).toUpperCase();
  }

  // The kept key, made on first use; a failed read is tried again next time.
  hmacKey() {
    if (!this.key) this.key = this.loadKey().catch((error) => {
      this.key = null;
      throw error;
    });
    return this.key;
  }

  async loadKey() {
    let stored = (await this.area.get(SITE_KEY_NAME))[SITE_KEY_NAME];
    if (typeof stored !== 'string' || !KEY_FORM.test(stored)) {
      stored = hex(this.crypto.getRandomValues(new Uint8Array(32)));
      await this.area.set({[SITE_KEY_NAME]: stored});
    }
    const raw = Uint8Array.from(stored.match(/../g), (pair) => parseInt(pair, 16));
    return this.crypto.subtle.importKey('raw', raw, {name: 'HMAC', hash: 'SHA-256'}, false, ['sign']);
  }
}
