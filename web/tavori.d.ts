// Types of web/tavori.js.

export type ErrorCodeName =
  | 'user-cancelled' | 'password-change-chosen' | 'cancelled' | 'card' | 'password' | 'refused'
  | 'version' | 'busy' | 'consent-denied' | 'extension-missing' | 'host-missing' | 'timeout'
  | 'insecure-context' | 'failed';

export declare const ErrorCode: Readonly<{
  USER_CANCELLED: 'user-cancelled';
  PASSWORD_CHANGE_CHOSEN: 'password-change-chosen';
  CANCELLED: 'cancelled';
  CARD: 'card';
  PASSWORD: 'password';
  REFUSED: 'refused';
  VERSION: 'version';
  BUSY: 'busy';
  CONSENT_DENIED: 'consent-denied';
  EXTENSION_MISSING: 'extension-missing';
  HOST_MISSING: 'host-missing';
  TIMEOUT: 'timeout';
  INSECURE_CONTEXT: 'insecure-context';
  FAILED: 'failed';
}>;

export declare class TavoriError extends Error {
  readonly name: 'TavoriError';
  readonly code: ErrorCodeName;
  /** The host's error code ("EW140-1620"), when Tavori answered with one. */
  readonly errcode?: string;
  /** The host's "result" ("1", "8" or "9"), when Tavori answered. */
  readonly result?: string;
  /** The stage that timed out or was not reached: 'ack', 'hostStart' or 'user'. */
  readonly stage?: 'ack' | 'hostStart' | 'user';
}

/** This library's version. */
export declare const VERSION: string;

export type Bytes = Uint8Array | ArrayBuffer | ArrayBufferView;
/** Bytes from Tavori, in a buffer of their own: they pass to WebCrypto as they are. */
export type ResultBytes = Uint8Array<ArrayBuffer>;

export interface Timeouts {
  /** Extension acknowledgement, default 1000 ms (200 ms to 10 s). */
  ack?: number;
  /** From the acknowledgement until the consent window opens or Tavori starts, default 8000 ms (1 s to 60 s). */
  hostStart?: number;
  /** The user's part: the consent window and Tavori's screens under one limit, default 300000 ms (10 s to 30 min). */
  user?: number;
}

export interface CommonOptions {
  /**
   * The banner at the top of Tavori's screens: absent or "" none; "01" Tavori's own banner;
   * "02" the banner of the national tax e-filing service, for that service only; any other two
   * characters none. Another length is refused (`refused`, "EW042-1204"). changePassword()
   * shows no banner whatever is given.
   */
  serviceId?: string;
  /** Newest Tavori version the service knows of (1 to 3 digits), default "1". */
  latestVersion?: string | number;
  /** Oldest Tavori version the service accepts (1 to 3 digits), default "1". */
  availableVersion?: string | number;
  timeouts?: Timeouts;
}

interface LogInChoices extends CommonOptions {
  cityCode?: boolean;
  combinationCode?: boolean;
  language?: 'ja' | 'en';
  /** Show the password screen's link to change the password (result 'password-change-chosen'). */
  passwordChangeLink?: boolean;
}

export interface LoginOptions extends LogInChoices {
  /** The SHA-256 value the service computed (32 bytes), or its DER DigestInfo (51 bytes). */
  digest: Bytes;
}

export interface AuthenticateOptions extends LogInChoices {
  /** The server's challenge: base64url without padding of 32 to 256 bytes (server/TOKEN.md). */
  challenge: string;
}

/** The log-in token "tavori-auth:1" (server/TOKEN.md), posted to the service's server unchanged. */
export interface LoginToken {
  format: 'tavori-auth:1';
  /** The origin the browser reports for the page, which the card signed with the challenge. */
  origin: string;
  /** Base64 of the DER user-authentication certificate. */
  certificate: string;
  /** Base64 of the RSASSA-PKCS1-v1_5 signature. */
  signature: string;
  algorithm: 'RS256';
  /** 64 lower-case hexadecimal characters, when asked for; not signed. */
  combinationCode?: string;
  /** 10 lower-case hexadecimal characters, when asked for; not signed. */
  cityCode?: string;
}

export interface AuthenticateResult {
  token: LoginToken;
  /** This installation's identifier for this site (not in the token); see LoginResult.uuid. */
  uuid: string;
}

export interface Versions {
  /** This library's version. */
  library: string;
  /** The extension's version; null when no extension acknowledged in time. */
  extension: string | null;
}

export interface LoginResult {
  /** RSASSA-PKCS1-v1_5 signature over the DigestInfo (256 bytes). */
  signature: ResultBytes;
  /** DER user-authentication certificate. */
  certificate: ResultBytes;
  /** This installation's identifier for this site (32 upper-case hexadecimal characters); see web/README.md. */
  uuid: string;
  /** 64 lower-case hexadecimal characters, when asked for. */
  combinationCode?: string;
  /** 10 lower-case hexadecimal characters, when asked for. */
  cityCode?: string;
}

export interface SignOptions extends CommonOptions {
  /** SHA-256 values (32 bytes each) or their DigestInfo (51 bytes each), signed in order. */
  digests: Bytes[];
  /**
   * Certification authority: absent or "001" for the card's JPKI signature key; an IC-card
   * authority ("004", "007", "009"-"012"); "013"-"020" for a certificate file that the user
   * chooses (with its password) in Tavori's own dialog.
   */
  ca?: string;
  /** Show the certificate for confirmation before signing (mode "07"). */
  confirm?: boolean;
}

export interface GpkiSignOptions extends CommonOptions {
  /** SHA-256 values (32 bytes each) or their DigestInfo (51 bytes each), signed in order. */
  digests: Bytes[];
  /** Show the certificate for confirmation before signing (mode "12"). */
  confirm?: boolean;
  /**
   * Show the GPKI password screen's link to change the password; a user who follows it ends
   * the call with 'password-change-chosen' (offer changeGpkiPassword()).
   */
  passwordChangeLink?: boolean;
}

export interface SignResult {
  /** One signature per digest, in the digests' order. */
  signatures: ResultBytes[];
  /** DER certificate of the signing key. */
  certificate: ResultBytes;
  /** This installation's identifier for this site; see LoginResult.uuid. */
  uuid: string;
}

export interface ReadCardOptions extends CommonOptions {
  /** Also read the individual number (mode "03"). */
  individualNumber?: boolean;
  combinationCode?: boolean;
}

/** The items printed on the card; an item the card holds none of is "". */
export interface CardData {
  name: string;
  address: string;
  /** YYYYMMDD */
  birthday: string;
  /** "1" male, "2" female, "9" not applicable */
  sex: string;
  /** The 12-digit individual number: present exactly when asked for (individualNumber: true). */
  individualNumber?: string;
  /** 64 lower-case hexadecimal characters: present when asked for (combinationCode: true). */
  combinationCode?: string;
  /** This installation's identifier for this site; see LoginResult.uuid. */
  uuid: string;
}

/**
 * Whether Tavori can be used from this page. Rejects with a TavoriError where it cannot be
 * used at all: 'insecure-context' (an http page, a sandboxed frame), 'consent-denied' (every
 * use denied to this site), 'timeout' (stage 'hostStart') or 'failed'.
 */
export declare function status(options?: {timeouts?: Timeouts}): Promise<'ready' | 'host-missing' | 'extension-missing'>;
/** The versions of this library and of the extension; rejects as status() does. */
export declare function versions(options?: {timeouts?: Timeouts}): Promise<Versions>;
/** The origin-bound log-in: the card signs the server's challenge with the page's origin. */
export declare function authenticate(options: AuthenticateOptions): Promise<AuthenticateResult>;
/** The log-in over a digest the service computed itself. */
export declare function login(options: LoginOptions): Promise<LoginResult>;
export declare function sign(options: SignOptions): Promise<SignResult>;
export declare function signGpki(options: GpkiSignOptions): Promise<SignResult>;
export declare function readCard(options?: ReadCardOptions): Promise<CardData>;
export declare function changePassword(options?: CommonOptions): Promise<{uuid: string}>;
export declare function changeGpkiPassword(options?: CommonOptions): Promise<{uuid: string}>;
export declare function cancel(): void;

/** The DER DigestInfo for a SHA-256 value (a 51-byte DigestInfo is returned as a copy). */
export declare function digestInfo(digest: Bytes): ResultBytes;
/** The typed family of a host error code. */
export declare function familyOfCode(errcode: string): ErrorCodeName;
/** The TavoriError for a host answer that is not a success, or null. */
export declare function errorForAnswer(answer: unknown): TavoriError | null;
