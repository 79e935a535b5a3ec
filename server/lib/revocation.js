// Revocation as the service configures it: OCSP, a CRL, both or neither. Every
// configured source must answer "not revoked"; one that cannot be asked fails
// closed, and "revoked" from any source is final.
import {checkCrl} from './crl.js';
import {VerificationError} from './errors.js';
import {checkOcsp} from './ocsp.js';

export async function checkRevocation(certificate, anchor, context) {
  const {revocation, now, fetch} = context;
  if (!revocation) return;
  const fetching = {now, fetch, timeoutMs: revocation.timeoutMs, maxCrlBytes: revocation.maxCrlBytes};
  const checks = [];
  if (revocation.ocsp) checks.push(() => checkOcsp(certificate, anchor, revocation.ocsp, fetching));
  if (revocation.crl) checks.push(() => checkCrl(certificate, anchor, revocation.crl, fetching));
  let unavailable = null;
  for (const check of checks) {
    try {
      await check();
    } catch (error) {
      if (error instanceof VerificationError && error.code === 'revoked') throw error;
      unavailable ??= error instanceof VerificationError ? error
        : new VerificationError('revocation-unavailable', `revocation: ${error?.message ?? error}`);
    }
  }
  if (unavailable) throw unavailable;
}
