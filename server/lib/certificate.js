// What the verifier reads from a certificate, read once and strictly: names
// as DER for exact comparison, and the extensions it acts on.
import * as asn1js from 'asn1js';
import * as pkijs from 'pkijs';
import {parseDer} from './der.js';

const KEY_USAGES = ['digitalSignature', 'nonRepudiation', 'keyEncipherment', 'dataEncipherment',
  'keyAgreement', 'keyCertSign', 'cRLSign', 'encipherOnly', 'decipherOnly'];

const KEY_USAGE = '2.5.29.15';
const EXTENDED_KEY_USAGE = '2.5.29.37';
const POLICIES = '2.5.29.32';
const BASIC_CONSTRAINTS = '2.5.29.19';
const CRL_DISTRIBUTION_POINTS = '2.5.29.31';
const SUBJECT_ALT_NAME = '2.5.29.17';
// Also understood, though nothing is decided on them: subject and authority
// key identifiers, issuer alternative name.
const UNDERSTOOD = new Set([KEY_USAGE, EXTENDED_KEY_USAGE, POLICIES, BASIC_CONSTRAINTS,
  CRL_DISTRIBUTION_POINTS, SUBJECT_ALT_NAME, '2.5.29.14', '2.5.29.35', '2.5.29.18']);

export function readCertificate(der) {
  return describeCertificate(parseDer(der, pkijs.Certificate), new Uint8Array(der));
}

// A certificate already read by pkijs (e.g. inside an OCSP response); der is its encoding when known.
export function describeCertificate(certificate, der = null) {
  const extensions = new Map();
  for (const extension of certificate.extensions ?? []) {
    if (extensions.has(extension.extnID)) throw new Error(`extension ${extension.extnID} appears twice`);
    extensions.set(extension.extnID, extension);
  }
  const value = (oid, Type) => extensions.has(oid)
    ? parseDer(extensions.get(oid).extnValue.valueBlock.valueHexView, Type) : null;
  const keyUsage = value(KEY_USAGE);
  if (keyUsage && !(keyUsage instanceof asn1js.BitString)) throw new Error('key usage is not a BIT STRING');
  return {
    der,
    certificate,
    issuer: rawName(certificate.issuer),
    subject: rawName(certificate.subject),
    serialNumber: integerHex(certificate.serialNumber),
    notBefore: certificate.notBefore.value,
    notAfter: certificate.notAfter.value,
    keyUsage: keyUsage && keyUsageNames(keyUsage),
    extendedKeyUsage: value(EXTENDED_KEY_USAGE, pkijs.ExtKeyUsage)?.keyPurposes ?? null,
    policies: (value(POLICIES, pkijs.CertificatePolicies)?.certificatePolicies ?? [])
      .map((policy) => policy.policyIdentifier),
    ca: value(BASIC_CONSTRAINTS, pkijs.BasicConstraints)?.cA === true,
    ...distributionPoints(value(CRL_DISTRIBUTION_POINTS, pkijs.CRLDistributionPoints)),
    subjectAltNames: value(SUBJECT_ALT_NAME, pkijs.AltName)?.altNames ?? [],
    unknownCritical: [...extensions.values()]
      .filter((extension) => extension.critical && !UNDERSTOOD.has(extension.extnID))
      .map((extension) => extension.extnID),
  };
}

// The DER of a name as it was read, for byte-wise comparison.
export function rawName(name) {
  return new Uint8Array(name.valueBeforeDecode);
}

// An INTEGER's magnitude as lower-case hexadecimal without leading zero bytes.
export function integerHex(integer) {
  const bytes = integer.valueBlock.valueHexView;
  let start = 0;
  while (start < bytes.length - 1 && bytes[start] === 0) start += 1;
  return Buffer.from(bytes.subarray(start)).toString('hex');
}

function keyUsageNames(bits) {
  const bytes = bits.valueBlock.valueHexView;
  return new Set(KEY_USAGES.filter((name, index) => (bytes[index >> 3] ?? 0) & (0x80 >> (index & 7))));
}

// The names of the distribution points that serve every reason and whose
// CRLs the certificate's own CA signs, as DER, and their http(s) addresses.
function distributionPoints(extension) {
  const names = (extension?.distributionPoints ?? [])
    .filter((point) => !point.reasons && !point.cRLIssuer && Array.isArray(point.distributionPoint))
    .flatMap((point) => point.distributionPoint);
  return {
    crlPointNames: names.map((name) => new Uint8Array(name.toSchema().toBER())),
    crlUris: names.filter((name) => name.type === 6 && /^https?:\/\//i.test(name.value)).map((name) => name.value),
  };
}
