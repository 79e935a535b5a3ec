#pragma once
// What a file certificate asks of the system's PKCS#12 support: recognise the
// file, check its password, import it with keys that never persist, take the
// first certificate whose private key is usable, and sign SHA-256 values with it
// (PKCS#1 v1.5). Windows: CryptoAPI and CNG. Elsewhere: OpenSSL.
#include <cstdint>
#include <string>
#include <vector>

namespace tavc::platform {

enum class Pkcs12ImportResult {
  kOk,
  kImportFailed,  // the file would not import
  kNoKey,         // no certificate has a usable private key
};

class Pkcs12File {
 public:
  // NCRYPT_KEY_HANDLE on Windows; 0 is no key.
  using KeyHandle = std::uintptr_t;

  virtual ~Pkcs12File() = default;

  virtual bool IsPfxBlob(const std::vector<std::uint8_t>& in_l_file) = 0;
  virtual bool VerifyPassword(const std::vector<std::uint8_t>& in_l_file, const std::wstring& in_l_password) = 0;
  // On kOk the DER certificate and its key (the caller frees it with FreeKey);
  // otherwise out_l_error holds the system's error number.
  virtual Pkcs12ImportResult ImportFirstKeyed(const std::vector<std::uint8_t>& in_l_file,
                                              const std::wstring& in_l_password,
                                              std::vector<std::uint8_t>* out_l_certificate, KeyHandle* out_l_key,
                                              std::uint32_t* out_l_error) = 0;
  // Allows every usage of the key (signing included).
  virtual bool AllowAllUsages(KeyHandle in_l_key, std::uint32_t* out_l_error) = 0;
  // PKCS#1 v1.5 signature over a 32-byte SHA-256 value, most significant byte
  // first: with a null out_l_data only its size.
  virtual bool SignSha256(KeyHandle in_l_key, const std::uint8_t* in_l_hash, std::uint8_t* out_l_data,
                          std::uint32_t* io_l_size, std::uint32_t* out_l_error) = 0;
  virtual void FreeKey(KeyHandle in_l_key) = 0;
};

Pkcs12File& SystemPkcs12File();

}  // namespace tavc::platform
