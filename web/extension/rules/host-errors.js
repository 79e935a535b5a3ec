// What a native port's disconnect means when the host gave no answer.

// The browsers' texts when the host is not registered for this extension, or its
// manifest names a program that cannot be started (Chromium, then Firefox).
const HOST_MISSING = [
  /native messaging host not found/i,
  /access to the specified native messaging host is forbidden/i,
  /failed to start native messaging host/i,
  /invalid native messaging host name/i,
  /no such native application/i,
];

export function isHostMissing(errorText) {
  return typeof errorText === 'string' && HOST_MISSING.some((pattern) => pattern.test(errorText));
}

// The wrapper refuses a frame above 1 MiB from its length prefix alone, with this
// code and without starting anything else: the status probe's sign of a working host.
export const PROBE_ANSWER_CODE = 'EW042-1200';
export const PROBE_PADDING = 1024 * 1024 + 1;

export function probeMessage() {
  return {mode: '01', padding: 'x'.repeat(PROBE_PADDING)};
}

export function isProbeAnswer(answer) {
  return Boolean(answer) && answer.result === '1' && answer.errcode === PROBE_ANSWER_CODE;
}
