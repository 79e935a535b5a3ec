// Tavori's server side: challenges, the log-in token's verifier and the card
// signature's verifier (README.md; the token's format in TOKEN.md).

export type VerificationErrorCode =
  | 'format'
  | 'origin-mismatch'
  | 'challenge'
  | 'signature'
  | 'chain'
  | 'validity'
  | 'key-usage'
  | 'policy'
  | 'revoked'
  | 'revocation-unavailable';

export class VerificationError extends Error {
  readonly name: 'VerificationError';
  readonly code: VerificationErrorCode;
  /** Only for code "challenge". */
  readonly reason?: 'unknown' | 'used' | 'expired';
}

/** The token "tavori-auth:1" as the page posts it (TOKEN.md). */
export interface LoginToken {
  format: 'tavori-auth:1';
  origin: string;
  /** Base64 of the DER user-authentication certificate. */
  certificate: string;
  /** Base64 of the RSASSA-PKCS1-v1_5 signature. */
  signature: string;
  algorithm: 'RS256';
  combinationCode?: string;
  cityCode?: string;
}

/** A session's challenge as a store keeps it; expiresAt in milliseconds since 1970. */
export interface ChallengeRecord {
  challenge: string;
  expiresAt: number;
  /** Set by a store that remembers taken challenges. */
  used?: boolean;
}

export interface ChallengeStore {
  put(sessionKey: string, record: ChallengeRecord): Promise<void>;
  /** Atomic: of concurrent takes, one gets the record unused. */
  take(sessionKey: string): Promise<ChallengeRecord | null>;
}

/** base64url (no padding) of 32 random bytes. */
export function createChallenge(): string;

/** Puts a new challenge for the session (valid ttlMs, default 5 minutes) and resolves with it. */
export function issueChallenge(
  store: ChallengeStore,
  sessionKey: string,
  options?: {ttlMs?: number; now?: Date},
): Promise<string>;

export class MemoryChallengeStore implements ChallengeStore {
  /** maxEntries: sessions kept (default 100000); clock: milliseconds since 1970 (default Date.now). */
  constructor(options?: {maxEntries?: number; clock?: () => number});
  put(sessionKey: string, record: ChallengeRecord): Promise<void>;
  take(sessionKey: string): Promise<ChallengeRecord | null>;
}

/** H of TOKEN.md: SHA-256(SHA-256(UTF-8 origin) || SHA-256(challenge bytes)), 32 bytes. */
export function loginDigest(origin: string, challenge: string): Uint8Array;

declare const trustAnchorsBrand: unique symbol;
/** CA certificates read by loadTrustAnchors. */
export interface TrustAnchors {
  readonly [trustAnchorsBrand]: true;
}

/** DER bytes, or PEM text holding one or more certificates; each an RSA CA certificate. Throws TypeError otherwise. */
export function loadTrustAnchors(certificates: ReadonlyArray<Uint8Array | string>): TrustAnchors;

export interface RevocationOptions {
  /** The OCSP responder the service was given. */
  ocsp?: {url: string};
  /** The service's CRL address; without url, the certificate's own http distribution point. */
  crl?: {url?: string};
  /** Per fetch; default 5000. */
  timeoutMs?: number;
  /** Default 16 MiB. */
  maxCrlBytes?: number;
}

export interface VerificationOptions {
  trustAnchors: TrustAnchors;
  /** Default: the current time. */
  now?: Date;
  revocation?: RevocationOptions | null;
  /** Default: globalThis.fetch. */
  fetch?: (url: string, init: RequestInit) => Promise<Response>;
}

export interface LoginOptions extends VerificationOptions {
  /** The service's own origin, e.g. "https://service.example.jp". */
  origin: string;
  /** What the challenge store's take() gave for the session. */
  challenge: ChallengeRecord | null;
}

export interface CertificateFacts {
  /** DER. */
  certificate: Uint8Array;
  /** Lower-case hexadecimal without leading zero bytes. */
  serialNumber: string;
  /** RFC 4514 text. */
  subject: string;
  issuer: string;
  notBefore: Date;
  notAfter: Date;
}

export interface LoginResult extends CertificateFacts {
  combinationCode?: string;
  cityCode?: string;
}

/** The holder's data from the signature certificate, each text as the certificate holds it. */
export interface SignatureResult extends CertificateFacts {
  name?: string;
  nameSubstitute?: string;
  sex?: string;
  /** Era digit and YYYYMMDD, e.g. "319850415". */
  dateOfBirth?: string;
  address?: string;
  addressSubstitute?: string;
}

/** token: the object or its JSON text. Rejects with VerificationError; options mistakes throw TypeError. */
export function verifyLogin(token: LoginToken | string | unknown, options: LoginOptions): Promise<LoginResult>;

/**
 * hash: the SHA-256 digest the service computed (32 bytes) or its DigestInfo (51 bytes);
 * signature and certificate as bytes or Base64 text.
 */
export function verifySignature(
  hash: Uint8Array,
  signature: Uint8Array | string,
  certificate: Uint8Array | string,
  options: VerificationOptions,
): Promise<SignatureResult>;
