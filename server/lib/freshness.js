// When a CRL or an OCSP answer still speaks for now.

// How far the service's clock and the CA's may disagree.
const CLOCK_SKEW_MS = 5 * 60 * 1000;
// How long an OCSP answer without nextUpdate stays current after its thisUpdate.
const UNDATED_ANSWER_MS = 15 * 60 * 1000;

// Written so that a time that could not be read (NaN) is never current.
export function isCurrent(thisUpdate, nextUpdate, now) {
  const until = nextUpdate ? nextUpdate.getTime() : thisUpdate.getTime() + UNDATED_ANSWER_MS;
  return thisUpdate.getTime() <= now + CLOCK_SKEW_MS && now <= until + CLOCK_SKEW_MS;
}
