// Distinguished names as RFC 4514 text ("CN=…,O=…,C=JP"), for people and logs;
// the verifier itself compares names as DER.

const SHORT = {
  '2.5.4.3': 'CN', '2.5.4.6': 'C', '2.5.4.7': 'L', '2.5.4.8': 'ST', '2.5.4.9': 'STREET',
  '2.5.4.10': 'O', '2.5.4.11': 'OU', '0.9.2342.19200300.100.1.1': 'UID',
  '0.9.2342.19200300.100.1.25': 'DC',
};

export function formatName(name) {
  const rdns = [];
  for (const attribute of name.typesAndValues) {
    const text = typeof attribute.value.valueBlock.value === 'string'
      ? escape(attribute.value.valueBlock.value)
      : `#${Buffer.from(attribute.value.toBER()).toString('hex')}`;
    rdns.push(`${SHORT[attribute.type] ?? attribute.type}=${text}`);
  }
  return rdns.reverse().join(',');
}

function escape(value) {
  return value
    .replace(/[\\"+,;<>]/g, '\\$&')
    .replace(/\0/g, '\\00')
    .replace(/^[ #]/, '\\$&')
    .replace(/ $/, '\\ ');
}
