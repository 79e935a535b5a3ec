// Time limits per stage of a request, each its own typed timeout:
//   ack        the content script acknowledges the page's message (watched by the page library);
//   hostStart  the extension accepts the request and starts the host, or the host answers a status probe;
//   user       the user's part: the consent window, then the host's screens until the answer.

export const STAGE_DEFAULTS = Object.freeze({ack: 1000, hostStart: 8000, user: 300000});
export const STAGE_LIMITS = Object.freeze({ack: [200, 10000], hostStart: [1000, 60000], user: [10000, 1800000]});

// The page may shorten or lengthen a stage within its limits; anything else gets the default.
export function stageTimeouts(requested) {
  const result = {...STAGE_DEFAULTS};
  if (!requested || typeof requested !== 'object') return result;
  for (const [stage, [low, high]] of Object.entries(STAGE_LIMITS)) {
    const value = requested[stage];
    if (Number.isFinite(value)) result[stage] = Math.min(high, Math.max(low, Math.round(value)));
  }
  return result;
}

// One running timer for the current stage; entering a stage replaces the last one.
export class StageTimer {
  constructor(timeouts, onTimeout, timers = globalThis) {
    this.timeouts = timeouts;
    this.onTimeout = onTimeout;
    this.timers = timers;
    this.handle = null;
    this.stage = null;
  }

  enter(stage) {
    this.stop();
    this.stage = stage;
    this.handle = this.timers.setTimeout(() => {
      this.handle = null;
      this.onTimeout(stage);
    }, this.timeouts[stage]);
  }

  stop() {
    if (this.handle !== null) this.timers.clearTimeout(this.handle);
    this.handle = null;
    this.stage = null;
  }
}
