// The certificate authorities a service trusts, read once at start-up. A card
// certificate must be issued directly by one of them: the card's CAs issue
// the cards' certificates themselves.
import {decodeBase64} from './base64.js';
import {sameBytes} from './bytes.js';
import {readCertificate} from './certificate.js';
import {formatName} from './names.js';
import {rsaPublicKey, signedBy} from './signatures.js';

export class TrustAnchors {
  constructor(anchors) {
    this.anchors = Object.freeze(anchors);
    Object.freeze(this);
  }
}

// certificates: DER bytes, or PEM text with one or more certificates.
export function loadTrustAnchors(certificates) {
  if (!Array.isArray(certificates) || certificates.length === 0) {
    throw new TypeError('trust anchors: a non-empty list of CA certificates (DER bytes or PEM text)');
  }
  return new TrustAnchors(certificates.flatMap(derOf).map(readAnchor));
}

function derOf(item) {
  if (item instanceof Uint8Array) return [item];
  const blocks = typeof item === 'string'
    ? item.match(/-----BEGIN CERTIFICATE-----[^-]+-----END CERTIFICATE-----/g) : null;
  if (!blocks) throw new TypeError('trust anchors: each item is DER bytes or PEM text');
  return blocks.map((block) => {
    const der = decodeBase64(block.replace(/-----(?:BEGIN|END) CERTIFICATE-----|\s/g, ''));
    if (!der) throw new TypeError('trust anchors: a PEM block that is not Base64');
    return der;
  });
}

function readAnchor(der) {
  let anchor;
  try {
    anchor = readCertificate(der);
    anchor.key = rsaPublicKey(anchor.certificate);
  } catch (error) {
    throw new TypeError(`trust anchor unreadable: ${error.message}`);
  }
  if (!anchor.ca || (anchor.keyUsage && !anchor.keyUsage.has('keyCertSign'))) {
    throw new TypeError(`trust anchor ${formatName(anchor.certificate.subject)} is not a CA certificate`);
  }
  return anchor;
}

// The anchor that issued the certificate (same name, its key signed it), or null.
export function issuingAnchor(certificate, trustAnchors) {
  return trustAnchors.anchors.find((anchor) => sameBytes(anchor.subject, certificate.issuer) &&
    signedBy(certificate.certificate, anchor.key)) ?? null;
}
