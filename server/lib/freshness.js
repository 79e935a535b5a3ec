// When a CRL or an OCSP answer still speaks for now.

// How far the service's clock and the CA's may disagree.
export const CLOCK_SKEW_MS = 5 * 60 * 1000;
// How long an OCSP answer without nextUpdate stays current after its thisUpdate.
export const UNDATED_ANSWER_MS = 15 * 60 * 1000;

export function isCurrent(thisUpdate, nextUpdate, now) {
  if (thisUpdate.getTime() > now + CLOCK_SKEW_MS) return false;
  const until = nextUpdate ? nextUpdate.getTime() : thisUpdate.getTime() + UNDATED_ANSWER_MS;
  return now <= until + CLOCK_SKEW_MS;
}
