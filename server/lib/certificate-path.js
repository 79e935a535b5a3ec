// The checks a card certificate passes before its signature counts: which of
// the card's certificates it is, which trusted CA issued it, and whether both
// are valid now. All local: nothing here reaches the network.
import {readCertificate} from './certificate.js';
import {stage, VerificationError} from './errors.js';
import {formatName} from './names.js';
import {checkProfile} from './profiles.js';
import {rsaPublicKey} from './signatures.js';
import {issuingAnchor} from './trust-anchors.js';

export async function checkCertificate(der, profile, {trustAnchors, now}) {
  const certificate = await stage('format', () => readCertificate(der));
  checkProfile(certificate, profile);
  const anchor = await stage('chain', () => issuingAnchor(certificate, trustAnchors));
  if (!anchor) throw new VerificationError('chain', 'the certificate was not issued by a trusted CA');
  for (const [which, {notBefore, notAfter}] of [['certificate', certificate], ['CA certificate', anchor]]) {
    if (!(notBefore.getTime() <= now && now <= notAfter.getTime())) {
      throw new VerificationError('validity', `the ${which} is valid from ${notBefore.toISOString()} to ${notAfter.toISOString()}`);
    }
  }
  const key = await stage('signature', () => rsaPublicKey(certificate.certificate));
  return {certificate, anchor, key};
}

// What both verifiers tell about the certificate.
export function certificateResult(certificate) {
  return {
    certificate: certificate.der,
    serialNumber: certificate.serialNumber,
    subject: formatName(certificate.certificate.subject),
    issuer: formatName(certificate.certificate.issuer),
    notBefore: certificate.notBefore,
    notAfter: certificate.notAfter,
  };
}
