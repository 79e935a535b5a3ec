// One fetch of revocation data: limited in time and size; any failure leaves
// as revocation-unavailable.
import {VerificationError} from './errors.js';

export async function fetchBytes(url, init, {fetch, timeoutMs, maxBytes}) {
  const unavailable = (why) => new VerificationError('revocation-unavailable', `${url}: ${why}`);
  let response;
  try {
    response = await fetch(url, {...init, signal: AbortSignal.timeout(timeoutMs)});
  } catch (error) {
    throw unavailable(error?.message ?? String(error));
  }
  if (!response.ok) throw unavailable(`HTTP ${response.status}`);
  if (Number(response.headers.get('content-length')) > maxBytes) throw unavailable(`more than ${maxBytes} bytes`);
  const chunks = [];
  let size = 0;
  try {
    for await (const chunk of response.body ?? []) {
      size += chunk.byteLength;
      if (size > maxBytes) throw new Error(`more than ${maxBytes} bytes`);
      chunks.push(chunk);
    }
  } catch (error) {
    throw unavailable(error.message);
  }
  return Buffer.concat(chunks);
}
