// One page request through the extension, from the content script's port to the
// host's answer. Everything the browser does is passed in, so that the rules (what
// is refused before the host starts, busy, consent, cancel, timeouts) run the same
// in the browser and in the unit tests.
//
// deps:
//   slot            RequestSlot shared by all runs: one host at a time
//   consentWindows  Set of the origins whose consent window is open, shared by all runs
//   loadSettings()  → {developerMode, policy, choices}
//   consentStore    ConsentStore (remember)
//   askConsent({origin, capability, mode}, signal) → 'allow' | 'once' | 'deny' (the consent window; closes on abort)
//   connectHost({onMessage, onDisconnect(errorText)}) → {post(message), close()}
//   reply(message)  to the content script, which relays it to the page
//   probeStatus()   → 'ready' | 'host-missing'; rejects when the host does not answer in time
//   siteUuid(uuid, origin) → this origin's own form of the host's installation identifier
//   timers          setTimeout/clearTimeout (the tests' fake clock)

import {capabilityOfMode} from './capabilities.js';
import {boundLoginRequest} from './login-challenge.js';
import {checkRequest} from './request-check.js';
import {decide, deniedEverything} from './consent.js';
import {isHostMissing} from './host-errors.js';
import {judgeOrigin, originOfSender} from './origin-rules.js';
import {StageTimer, stageTimeouts} from './stage-timeouts.js';

export const CANCEL_FRAME = Object.freeze({mode: '05'});
// The wrapper forwards a cancel and ends 500 ms later; the slot stays taken until
// then, so that a new request does not meet the old host's single-instance refusal.
export const HOST_EXIT_MS = 700;
// Lets the browser write the cancel frame before the port's pipes close.
export const CANCEL_FLUSH_MS = 100;

export class RequestRun {
  constructor(deps) {
    this.deps = deps;
    this.timers = deps.timers || globalThis;
    this.origin = null;
    this.token = null;
    this.host = null;
    this.consentAbort = null;
    this.done = false;
    this.timer = null;
  }

  // message: {type: 'request' | 'authenticate', request, timeouts} or {type: 'status'}
  async start(message, sender) {
    try {
      await this.run(message, sender);
    } catch (error) {
      this.fail('failed', String(error && error.message ? error.message : error));
    }
  }

  // Stages: hostStart from here until the user is asked or the host starts (for a
  // status, until the probe's finding); user from then until the answer, once:
  // the consent window and the host's screens share one limit.
  async run(message, sender) {
    const origin = originOfSender(sender);
    this.origin = origin;
    this.timer = new StageTimer(stageTimeouts(message.timeouts), (stage) => this.timeOut(stage), this.timers);
    this.timer.enter('hostStart');
    const settings = await this.deps.loadSettings();
    if (this.done) return undefined;
    const judged = judgeOrigin(origin, {developerMode: settings.developerMode});
    if (!judged.ok) return this.fail(judged.code, judged.reason);

    if (message.type === 'status') {
      if (deniedEverything(origin, settings.policy, settings.choices)) {
        return this.fail('consent-denied', `${origin} may not use Tavori`);
      }
      return this.status();
    }
    if (message.type !== 'request' && message.type !== 'authenticate') return this.fail('refused', 'unknown message');
    let request = message.request;
    if (message.type === 'authenticate') {
      const bound = await boundLoginRequest(request, origin);
      if (this.done) return undefined;
      if (!bound.ok) return this.fail(bound.code, bound.reason);
      request = bound.request;
    }
    const checked = checkRequest(request, origin);
    if (!checked.ok) return this.fail(checked.code, checked.reason);
    const {mode} = checked.request;
    const capability = capabilityOfMode(mode);
    const verdict = decide(origin, capability, settings.policy, settings.choices);
    if (verdict === 'deny') return this.fail('consent-denied', `${origin} may not use Tavori for ${capability}`);
    // The user is asked before the slot is taken: a window left open holds up no other site.
    if (verdict === 'ask' && !(await this.askUser({origin, capability, mode}))) return undefined;

    this.token = await this.deps.slot.acquire(origin);
    if (this.done) return this.releaseSlot(0);
    if (!this.token) return this.fail('busy', 'another request is running');
    this.startHost(checked.request);
    return undefined;
  }

  // True once the user allowed; otherwise the run has ended. One consent window per
  // origin: a second request of that site while it is open is busy.
  async askUser(question) {
    const windows = this.deps.consentWindows;
    if (windows.has(question.origin)) {
      this.fail('busy', 'a consent window of this site is open');
      return false;
    }
    windows.add(question.origin);
    try {
      this.deps.reply({type: 'progress', stage: 'consent'});
      this.timer.enter('user');
      this.consentAbort = new AbortController();
      const choice = await this.deps.askConsent(question, this.consentAbort.signal);
      this.consentAbort = null;
      if (this.done) return false;
      await this.deps.consentStore.remember(question.origin, question.capability, choice);
      if (choice === 'allow' || choice === 'once') return !this.done;
      this.fail('consent-denied', `the user denied ${question.origin}`);
      return false;
    } finally {
      windows.delete(question.origin);
    }
  }

  startHost(request) {
    this.host = this.deps.connectHost({
      onMessage: (answer) => this.answer(answer),
      onDisconnect: (errorText) => this.hostGone(errorText),
    });
    this.host.post(request);
    if (this.timer.stage !== 'user') this.timer.enter('user');
    this.deps.reply({type: 'progress', stage: 'host'});
  }

  async status() {
    let status;
    try {
      status = await this.deps.probeStatus();
    } catch {
      return this.fail('timeout', 'Tavori did not answer the status probe in time', 0, 'hostStart');
    }
    return this.finish({type: 'status', status});
  }

  // The host's answer goes back as it came, but for the installation identifier,
  // which each site gets in its own form; with the origin it was made for, which
  // an authenticate's token names.
  async answer(answer) {
    if (this.done || !this.host) return;
    const host = this.host;
    this.host = null;
    let shown = answer;
    try {
      if (answer && typeof answer.uuid === 'string') {
        shown = {...answer, uuid: await this.deps.siteUuid(answer.uuid, this.origin)};
      }
      this.finish({type: 'answer', answer: shown, origin: this.origin});
    } catch (error) {
      this.fail('failed', `the answer could not be passed on: ${error.message}`);
    } finally {
      host.close();
    }
  }

  // A host that ends after its answer has said all it had to.
  hostGone(errorText) {
    if (this.done || !this.host) return;
    this.host = null;
    if (isHostMissing(errorText)) this.fail('host-missing', errorText);
    else this.fail('failed', errorText || 'the host ended without an answer');
  }

  // The page called cancel() (reason 'page') or went away (reason 'gone': closed,
  // reloaded, navigated; nobody is left to answer).
  cancel(reason) {
    if (this.done) return;
    if (reason === 'page') this.fail('cancelled', 'the page cancelled the request', HOST_EXIT_MS);
    else this.finish(null, HOST_EXIT_MS);
  }

  timeOut(stage) {
    this.fail('timeout', `no answer within the ${stage} stage`, HOST_EXIT_MS, stage);
  }

  fail(code, message, slotDelay = 0, stage = undefined) {
    this.finish({type: 'error', code, message, ...(stage ? {stage} : {})}, slotDelay);
  }

  finish(reply, slotDelay = 0) {
    if (this.done) return;
    this.done = true;
    if (this.timer) this.timer.stop();
    if (this.consentAbort) this.consentAbort.abort();
    const cancelling = this.host !== null;
    if (cancelling) this.cancelHost();
    this.releaseSlot(cancelling ? slotDelay : 0);
    if (reply) this.deps.reply(reply);
  }

  // The cancel frame first, so that TAV closes its screens; then the port.
  cancelHost() {
    const host = this.host;
    this.host = null;
    try {
      host.post(CANCEL_FRAME);
    } finally {
      this.timers.setTimeout(() => host.close(), CANCEL_FLUSH_MS);
    }
  }

  releaseSlot(delayMs) {
    if (!this.token) return;
    this.deps.slot.release(this.token, delayMs, this.timers);
    this.token = null;
  }
}
