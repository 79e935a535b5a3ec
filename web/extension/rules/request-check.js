// What a page may ask of the host. Checked before the host is started, so that a
// malformed or overreaching request never reaches a dialog.

export const MAX_REQUEST_BYTES = 1024 * 1024;

export const MODES = Object.freeze(['01', '02', '03', '04', '06', '07', '11', '12', '13']);

// The host's request keys a page may send, "mode" first: the host drops a
// mode-dependent key that comes before "mode", so the forwarded request is rebuilt
// in this order. "file_path" and "file_password" are absent on purpose: only the
// wrapper's own file dialog may add them.
export const PAGE_KEYS = Object.freeze([
  'mode', 'latest_version', 'available_version', 'service_id', 'ca', 'digest',
  'pw_change', 'language', 'combination_code_flag', 'city_code_flag',
]);

const WRAPPER_ONLY_KEYS = new Set(['file_path', 'file_password']);

// The host reads array elements without escape processing, so an element must be
// plain text that JSON writes without escapes.
const PLAIN_ARRAY_ELEMENT = /^[\x20-\x21\x23-\x5b\x5d-\x7e]*$/;

function refused(reason) {
  return {ok: false, code: 'refused', reason};
}

// Returns {ok: true, request} with the request rebuilt in the host's key order
// and "origin" set from the browser, or {ok: false, code: 'refused', reason}.
export function checkRequest(value, origin) {
  if (value === null || typeof value !== 'object' || Array.isArray(value)) {
    return refused('the request is not a JSON object');
  }
  if (Object.getPrototypeOf(value) !== Object.prototype && Object.getPrototypeOf(value) !== null) {
    return refused('the request is not a plain object');
  }
  for (const key of Object.keys(value)) {
    if (WRAPPER_ONLY_KEYS.has(key)) return refused(`"${key}" is not accepted from a page`);
    // A page-supplied origin is replaced by the browser's.
    if (key !== 'origin' && !PAGE_KEYS.includes(key)) return refused(`unknown key "${key}"`);
  }
  for (const key of PAGE_KEYS) {
    if (!(key in value)) continue;
    const item = value[key];
    if (key === 'digest' && Array.isArray(item)) {
      if (item.some((element) => typeof element !== 'string' || !PLAIN_ARRAY_ELEMENT.test(element))) {
        return refused('"digest" array elements must be Base64 strings');
      }
    } else if (typeof item !== 'string') {
      return refused(`"${key}" must be a string`);
    }
  }
  if (!MODES.includes(value.mode)) return refused('"mode" is missing or unknown');

  const request = {};
  for (const key of PAGE_KEYS) {
    if (key in value) request[key] = Array.isArray(value[key]) ? [...value[key]] : value[key];
  }
  request.origin = origin;
  if (utf8Length(JSON.stringify(request)) > MAX_REQUEST_BYTES) {
    return refused('the request is larger than 1 MiB');
  }
  return {ok: true, request};
}

function utf8Length(text) {
  return new TextEncoder().encode(text).length;
}
