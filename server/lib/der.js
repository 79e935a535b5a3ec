// DER from outside: one structure that fills the bytes exactly, read into a
// pkijs class. Throws on anything else; the verification stage gives the code.
import * as asn1js from 'asn1js';

export function parseDer(bytes, Type) {
  const view = new Uint8Array(bytes);
  const asn1 = asn1js.fromBER(view);
  if (asn1.offset !== view.byteLength || asn1.result.error) {
    throw new Error(`not one ${Type?.name ?? 'DER structure'}`);
  }
  return Type ? new Type({schema: asn1.result}) : asn1.result;
}
