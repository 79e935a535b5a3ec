// Revocation by CRL: a complete CRL that the certificate's own CA signed, that
// is current and that covers the certificate.
import * as pkijs from 'pkijs';
import {sameBytes} from './bytes.js';
import {fetchBytes} from './bounded-fetch.js';
import {integerHex, rawName} from './certificate.js';
import {parseDer} from './der.js';
import {VerificationError} from './errors.js';
import {isCurrent} from './freshness.js';
import {signedBy} from './signatures.js';

const ISSUING_DISTRIBUTION_POINT = '2.5.29.28';

// The service's CRL address, else the certificate's distribution points in
// turn; the first CRL that can be used decides.
export async function checkCrl(certificate, anchor, {url}, context) {
  const urls = url ? [url] : certificate.crlUris;
  if (urls.length === 0) {
    throw new VerificationError('revocation-unavailable', 'the certificate names no http CRL distribution point');
  }
  let failure;
  for (const address of urls) {
    try {
      const bytes = await fetchBytes(address, {}, {...context, maxBytes: context.maxCrlBytes});
      return checkAgainst(bytes, certificate, anchor, context.now);
    } catch (error) {
      if (error instanceof VerificationError && error.code === 'revoked') throw error;
      failure = error;
    }
  }
  throw failure;
}

function checkAgainst(bytes, certificate, anchor, now) {
  const unusable = (why) => new VerificationError('revocation-unavailable', `CRL unusable: ${why}`);
  let crl;
  try {
    crl = parseDer(bytes, pkijs.CertificateRevocationList);
  } catch (error) {
    throw unusable(error.message);
  }
  if (!sameBytes(rawName(crl.issuer), certificate.issuer) || !signedBy(crl, anchor.key) ||
      (anchor.keyUsage && !anchor.keyUsage.has('cRLSign'))) {
    throw unusable('not signed by the certificate\'s CA');
  }
  if (!crl.nextUpdate || !isCurrent(crl.thisUpdate.value, crl.nextUpdate.value, now)) {
    throw unusable(`not current (thisUpdate ${crl.thisUpdate.value.toISOString()})`);
  }
  checkScope(crl, certificate, unusable);
  for (const entry of crl.revokedCertificates ?? []) {
    // An entry extension that must be understood (e.g. an indirect CRL's
    // certificateIssuer) could change what every later entry means.
    if (entry.crlEntryExtensions?.extensions.some((extension) => extension.critical)) {
      throw unusable('a critical entry extension');
    }
    if (integerHex(entry.userCertificate) === certificate.serialNumber) {
      throw new VerificationError('revoked', `revoked on ${entry.revocationDate.value.toISOString()} (CRL)`);
    }
  }
}

// Only a complete CRL for end-entity certificates of every reason serves;
// when it names its distribution point, the certificate must name it too.
function checkScope(crl, certificate, unusable) {
  for (const extension of crl.crlExtensions?.extensions ?? []) {
    if (extension.extnID !== ISSUING_DISTRIBUTION_POINT) {
      if (extension.critical) throw unusable(`critical extension ${extension.extnID}`);
      continue;
    }
    const scope = parseDer(extension.extnValue.valueBlock.valueHexView, pkijs.IssuingDistributionPoint);
    if (scope.onlyContainsCACerts || scope.onlyContainsAttributeCerts || scope.onlySomeReasons ||
        scope.indirectCRL) {
      throw unusable('a partial or indirect CRL');
    }
    if (scope.distributionPoint && !(Array.isArray(scope.distributionPoint) &&
        scope.distributionPoint.some((name) => certificate.crlPointNames.some((own) =>
          sameBytes(own, name.toSchema().toBER()))))) {
      throw unusable('the CRL covers another distribution point');
    }
  }
}
