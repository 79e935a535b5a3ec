// One request at a time in the whole browser: the host runs a single instance and
// would refuse a second one only after starting, with a dialog.

export class RequestSlot {
  constructor() {
    this.holder = null;
  }

  // A token for the caller, or null when a request is running. A request that is
  // only closing (its host still ending after a cancel) is waited for, so that a
  // page that reloads and asks again is served instead of meeting the old host.
  async acquire(label) {
    if (this.holder && this.holder.closing) await this.holder.released;
    if (this.holder) return null;
    let resolve;
    const released = new Promise((done) => { resolve = done; });
    this.holder = {label, closing: false, released, resolve};
    return this.holder;
  }

  // Frees the slot, at once or after delayMs (marked closing meanwhile); a stale
  // token changes nothing.
  release(token, delayMs = 0, timers = globalThis) {
    if (!token || this.holder !== token || token.closing) return;
    const free = () => {
      if (this.holder === token) this.holder = null;
      token.resolve();
    };
    if (delayMs > 0) {
      token.closing = true;
      timers.setTimeout(free, delayMs);
    } else {
      free();
    }
  }
}
