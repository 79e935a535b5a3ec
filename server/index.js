// Tavori's server side: challenges, the log-in token's verifier and the
// card signature's verifier (README.md; the token's format in TOKEN.md).
export {VerificationError} from './lib/errors.js';
export {createChallenge, issueChallenge, MemoryChallengeStore} from './lib/challenges.js';
export {loginDigest} from './lib/login-message.js';
export {loadTrustAnchors} from './lib/trust-anchors.js';
export {verifyLogin} from './lib/verify-login.js';
export {verifySignature} from './lib/verify-signature.js';
