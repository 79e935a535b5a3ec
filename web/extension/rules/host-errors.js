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
