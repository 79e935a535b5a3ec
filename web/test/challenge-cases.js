// Challenge texts that the library, the extension and the server verifier all
// take or all refuse (server/TOKEN.md, "The challenge").

const text = (bytes) => Buffer.from(bytes).toString('base64url');
const counting = (length) => Uint8Array.from({length}, (_, i) => i);
const ALPHABET = 'ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_';
// The same bytes with a leftover bit of the last character set.
const leftoverBitSet = (challenge) => challenge.slice(0, -1) + ALPHABET[ALPHABET.indexOf(challenge.at(-1)) | 1];

export const GOOD_CHALLENGES = [
  text(counting(32)), // TOKEN.md's worked example
  text(new Uint8Array(32).fill(0xff)),
  text(counting(33)), // 44 characters, no leftover bits
  text(counting(34)),
  text(new Uint8Array(256).fill(0xfb)), // the longest: 342 characters
];

export const BAD_CHALLENGES = [
  ['31 bytes', text(counting(31))],
  ['257 bytes', text(counting(257))],
  ['padded', `${text(counting(32))}=`],
  ['standard Base64', Buffer.from(new Uint8Array(32).fill(0xfb)).toString('base64').replace(/=+$/, '')],
  ['leftover bits set', leftoverBitSet(text(counting(32)))],
  ['a length no bytes have', `${text(counting(33))}A`],
  ['white space', ` ${text(counting(32))}`],
  ['empty', ''],
  ['not text', counting(32)],
  ['absent', undefined],
];
