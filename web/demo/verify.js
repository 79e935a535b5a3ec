// Checks a signature against the certificate the answer carries, in the page.

// One DER element at offset: its tag, where its content starts and where it ends.
function element(der, offset) {
  const tag = der[offset];
  let length = der[offset + 1];
  let start = offset + 2;
  if (length & 0x80) {
    const count = length & 0x7f;
    if (count < 1 || count > 4) throw new Error('unsupported DER length');
    length = 0;
    for (let i = 0; i < count; i += 1) length = length * 256 + der[start + i];
    start += count;
  }
  if (start + length > der.length) throw new Error('truncated DER');
  return {tag, offset, start, end: start + length};
}

function children(der, parent) {
  const list = [];
  for (let offset = parent.start; offset < parent.end;) {
    const child = element(der, offset);
    list.push(child);
    offset = child.end;
  }
  return list;
}

// Certificate ::= SEQUENCE { tbsCertificate SEQUENCE { [0] version?, serial, signature,
// issuer, validity, subject, subjectPublicKeyInfo, ... }, ... }
export function subjectPublicKeyInfo(certificate) {
  const tbs = children(certificate, element(certificate, 0))[0];
  const fields = children(certificate, tbs);
  const spki = fields[fields[0].tag === 0xa0 ? 6 : 5];
  return certificate.subarray(spki.offset, spki.end);
}

// RSASSA-PKCS1-v1_5 with SHA-256 over data, with the certificate's key.
export async function verifySignature(certificate, signature, data) {
  const key = await crypto.subtle.importKey('spki', subjectPublicKeyInfo(certificate),
    {name: 'RSASSA-PKCS1-v1_5', hash: 'SHA-256'}, false, ['verify']);
  return crypto.subtle.verify('RSASSA-PKCS1-v1_5', key, signature, data);
}
