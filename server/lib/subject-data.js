// The holder's data in the card's signature certificate: otherNames of its
// subject alternative name, each [0] EXPLICIT UTF8String (README, "What a
// signature certificate tells").
import * as asn1js from 'asn1js';

const FIELDS = {
  '1.2.392.200149.8.5.5.1': 'name',
  '1.2.392.200149.8.5.5.2': 'nameSubstitute',
  '1.2.392.200149.8.5.5.3': 'sex',
  '1.2.392.200149.8.5.5.4': 'dateOfBirth',
  '1.2.392.200149.8.5.5.5': 'address',
  '1.2.392.200149.8.5.5.6': 'addressSubstitute',
};

// Each field whose otherName the certificate holds exactly once, as its text.
export function readSubjectData(certificate) {
  const values = {};
  for (const generalName of certificate.subjectAltNames) {
    if (generalName.type !== 0) continue;
    const [type, value] = generalName.value.valueBlock.value ?? [];
    const field = type instanceof asn1js.ObjectIdentifier ? FIELDS[type.valueBlock.toString()] : undefined;
    if (field) (values[field] ??= []).push(explicitUtf8(value));
  }
  const data = {};
  for (const [field, texts] of Object.entries(values)) {
    if (texts.length === 1 && texts[0] !== null) data[field] = texts[0];
  }
  return data;
}

function explicitUtf8(value) {
  const inner = value?.idBlock.tagClass === 3 && value.idBlock.tagNumber === 0 ? value.valueBlock.value : null;
  return inner?.length === 1 && inner[0] instanceof asn1js.Utf8String ? inner[0].valueBlock.value : null;
}
