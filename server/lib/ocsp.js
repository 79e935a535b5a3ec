// Revocation by OCSP at the responder the service names: one request for the
// certificate, and an answer signed by its CA or by a responder certificate
// that CA issued for OCSP signing.
import {createHash} from 'node:crypto';
import * as asn1js from 'asn1js';
import * as pkijs from 'pkijs';
import {fetchBytes} from './bounded-fetch.js';
import {sameBytes} from './bytes.js';
import {describeCertificate, integerHex} from './certificate.js';
import {parseDer} from './der.js';
import {VerificationError} from './errors.js';
import {isCurrent} from './freshness.js';
import {rsaPublicKey, signedBy} from './signatures.js';

const SHA1 = '1.3.14.3.2.26';
const BASIC_RESPONSE = '1.3.6.1.5.5.7.48.1.1';
const OCSP_SIGNING = '1.3.6.1.5.5.7.3.9';
const MAX_RESPONSE_BYTES = 64 * 1024;
const MAX_RESPONSE_CERTIFICATES = 4;
const GOOD = 0;
const REVOKED = 1;

export async function checkOcsp(certificate, anchor, {url}, context) {
  const unusable = (why) => new VerificationError('revocation-unavailable', `OCSP: ${why}`);
  const id = certificateId(certificate, anchor);
  const request = new pkijs.OCSPRequest();
  request.tbsRequest.requestList = [new pkijs.Request({reqCert: id})];
  const body = await fetchBytes(url, {
    method: 'POST',
    headers: {'content-type': 'application/ocsp-request', accept: 'application/ocsp-response'},
    body: new Uint8Array(request.toSchema(true).toBER()),
  }, {...context, maxBytes: MAX_RESPONSE_BYTES});

  const basic = basicResponse(body, unusable);
  if (!signers(basic, anchor, context.now).some((key) => signedBy(basic, key))) {
    throw unusable('the answer is not signed by the CA or its OCSP responder');
  }
  const answers = basic.tbsResponseData.responses.filter((answer) => sameId(answer.certID, id));
  if (answers.length === 0) throw unusable('no answer for this certificate');
  for (const answer of answers) {
    if (!isCurrent(answer.thisUpdate, answer.nextUpdate, context.now)) {
      throw unusable(`the answer is not current (thisUpdate ${answer.thisUpdate.toISOString()})`);
    }
  }
  const statuses = answers.map((answer) => answer.certStatus.idBlock.tagNumber);
  if (statuses.includes(REVOKED)) throw new VerificationError('revoked', 'revoked (OCSP)');
  if (!statuses.every((status) => status === GOOD)) throw unusable('the responder does not know the certificate');
}

// SHA-1 is what responders are sure to know; it only names the certificate here.
function certificateId(certificate, anchor) {
  const sha1 = (bytes) => new asn1js.OctetString({valueHex: createHash('sha1').update(bytes).digest()});
  return new pkijs.CertID({
    hashAlgorithm: new pkijs.AlgorithmIdentifier({algorithmId: SHA1, algorithmParams: new asn1js.Null()}),
    issuerNameHash: sha1(certificate.issuer),
    issuerKeyHash: sha1(anchor.certificate.subjectPublicKeyInfo.subjectPublicKey.valueBlock.valueHexView),
    serialNumber: certificate.certificate.serialNumber,
  });
}

function sameId(a, b) {
  return a.hashAlgorithm.algorithmId === SHA1 &&
    sameBytes(a.issuerNameHash.valueBlock.valueHexView, b.issuerNameHash.valueBlock.valueHexView) &&
    sameBytes(a.issuerKeyHash.valueBlock.valueHexView, b.issuerKeyHash.valueBlock.valueHexView) &&
    integerHex(a.serialNumber) === integerHex(b.serialNumber);
}

function basicResponse(body, unusable) {
  let basic;
  try {
    const response = parseDer(body, pkijs.OCSPResponse);
    if (response.responseStatus.valueBlock.valueDec !== 0) {
      throw new Error(`status ${response.responseStatus.valueBlock.valueDec}`);
    }
    if (response.responseBytes?.responseType !== BASIC_RESPONSE) throw new Error('not a basic answer');
    basic = parseDer(response.responseBytes.response.valueBlock.valueHexView, pkijs.BasicOCSPResponse);
  } catch (error) {
    throw unusable(error.message);
  }
  if ((basic.certs?.length ?? 0) > MAX_RESPONSE_CERTIFICATES) throw unusable('too many certificates');
  return basic;
}

// The keys that may sign the answer: the CA's own, and those of responder
// certificates in the answer that the CA issued for OCSP signing and that are
// valid now.
function signers(basic, anchor, now) {
  const keys = [anchor.key];
  for (const certificate of basic.certs ?? []) {
    try {
      const responder = describeCertificate(certificate);
      if (sameBytes(responder.issuer, anchor.subject) && signedBy(certificate, anchor.key) &&
          responder.extendedKeyUsage?.includes(OCSP_SIGNING) &&
          (!responder.keyUsage || responder.keyUsage.has('digitalSignature')) &&
          responder.notBefore.getTime() <= now && now <= responder.notAfter.getTime()) {
        keys.push(rsaPublicKey(certificate));
      }
    } catch {
      // A responder certificate that cannot be read signs nothing.
    }
  }
  return keys;
}
