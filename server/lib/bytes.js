// Byte strings compared whole.
export function sameBytes(a, b) {
  return Buffer.from(a).equals(Buffer.from(b));
}
