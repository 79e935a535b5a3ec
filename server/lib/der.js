// DER from outside: one structure that fills the bytes exactly, read into a
// pkijs class. Throws on anything else; the verification stage gives the code.
import * as asn1js from 'asn1js';

export function parseDer(bytes, Type) {
  const view = new Uint8Array(bytes);
  const asn1 = asn1js.fromBER(view);
  if (asn1.offset !== view.byteLength || asn1.result.error) {
    throw new Error(`not one ${Type?.name ?? 'DER structure'}`);
  }
  // asn1js reads on past a length that disagrees with its content; written
  // back, such a structure (or a longer length form than needed) differs.
  if (!Buffer.from(asn1.result.toBER()).equals(view)) {
    throw new Error(`${Type?.name ?? 'DER structure'}: lengths that disagree with the content`);
  }
  return Type ? new Type({schema: asn1.result}) : asn1.result;
}
