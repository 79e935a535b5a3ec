// Whether the host is registered and answers, for status(). The probe is a frame
// that the wrapper refuses from its length alone ("EW042-1200"), so nothing is
// shown and TAV is not started. Probes asked for meanwhile share the one running
// (each would start Wine); a ready host is not probed again while the background lives.

import {STAGE_LIMITS} from './stage-timeouts.js';

export const PROBE_FRAME = Object.freeze({mode: '01', padding: 'x'.repeat(1024 * 1024 + 1)});

export class HostProbe {
  // connectHost as for a request; each run bounds its wait by its own hostStart, the
  // probe itself by the longest a page may ask for.
  constructor(connectHost, timers = globalThis) {
    this.connectHost = connectHost;
    this.timers = timers;
    this.ready = false;
    this.pending = null;
  }

  status() {
    if (this.ready) return Promise.resolve('ready');
    if (!this.pending) {
      this.pending = this.probe().finally(() => { this.pending = null; });
    }
    return this.pending;
  }

  probe() {
    return new Promise((resolve, reject) => {
      let settled = false;
      const settle = (action) => {
        if (settled) return;
        settled = true;
        this.timers.clearTimeout(timer);
        action();
      };
      const timer = this.timers.setTimeout(() => settle(() => {
        host.close();
        reject(new Error('the host did not answer the status probe'));
      }), STAGE_LIMITS.hostStart[1]);
      const host = this.connectHost({
        onMessage: () => settle(() => {
          host.close();
          this.ready = true;
          resolve('ready');
        }),
        onDisconnect: () => settle(() => resolve('host-missing')),
      });
      host.post(PROBE_FRAME);
    });
  }
}
