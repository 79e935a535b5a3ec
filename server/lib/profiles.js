// The card's two certificates, told apart by the policy their CA writes in
// them: the user-authentication certificate logs in, the signature
// certificate signs. Neither may stand in for the other.
import {VerificationError} from './errors.js';

export const LOGIN = Object.freeze({
  name: 'user-authentication',
  policy: '1.2.392.200149.8.5.1.3.30',
  keyUsage: 'digitalSignature',
  extendedKeyUsage: '1.3.6.1.5.5.7.3.2', // clientAuth, when the certificate lists purposes at all
});

export const SIGNING = Object.freeze({
  name: 'signature',
  policy: '1.2.392.200149.8.5.1.1.10',
  keyUsage: 'nonRepudiation',
  extendedKeyUsage: null,
});

const OTHER = new Map([[LOGIN, SIGNING], [SIGNING, LOGIN]]);

export function checkProfile(certificate, profile) {
  const other = OTHER.get(profile);
  if (certificate.policies.includes(other.policy)) {
    throw new VerificationError('policy', `a ${other.name} certificate cannot be used for this`);
  }
  if (!certificate.policies.includes(profile.policy)) {
    throw new VerificationError('policy', `not a card's ${profile.name} certificate (policy ${profile.policy})`);
  }
  if (certificate.unknownCritical.length > 0) {
    throw new VerificationError('policy', `unknown critical extension ${certificate.unknownCritical.join(', ')}`);
  }
  if (certificate.ca || !certificate.keyUsage?.has(profile.keyUsage)) {
    throw new VerificationError('key-usage', `the certificate's key usage lacks ${profile.keyUsage}`);
  }
  if (profile.extendedKeyUsage && certificate.extendedKeyUsage &&
      !certificate.extendedKeyUsage.includes(profile.extendedKeyUsage)) {
    throw new VerificationError('key-usage', 'the certificate\'s extended key usage lacks client authentication');
  }
}
