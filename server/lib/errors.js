// The one way a token, a signature or a certificate is refused: a
// VerificationError whose code (README, "Error codes") is part of the contract.
// Programming errors in the service's own options are TypeErrors instead.

export class VerificationError extends Error {
  constructor(code, message, reason) {
    super(message);
    this.name = 'VerificationError';
    this.code = code;
    if (reason !== undefined) this.reason = reason;
  }
}

// Runs one stage of a verification: whatever a library throws on hostile
// input leaves as a VerificationError with the stage's code.
export async function stage(code, run) {
  try {
    return await run();
  } catch (error) {
    if (error instanceof VerificationError) throw error;
    throw new VerificationError(code, `${code}: ${error?.message ?? error}`);
  }
}
