#pragma once
// What a card certificate asks of a cryptographic service provider: the card's
// default key container, its user key and that key's certificate, and a
// signature over a SHA-256 value the caller supplies. Windows: CryptoAPI on the
// card vendor's provider. Elsewhere: a software token (software_token.h).
#include <cstdint>
#include <string>

namespace tavc::platform {

class CryptoProvider {
 public:
  // HCRYPTPROV, HCRYPTKEY and HCRYPTHASH on Windows; 0 is no handle.
  using Handle = std::uintptr_t;

  virtual ~CryptoProvider() = default;

  // Each step: true on success; false with out_l_error set to the system's
  // error number (GetLastError on Windows).
  // The default container of the provider named in_l_name, of type in_l_type.
  virtual bool AcquireContext(const std::wstring& in_l_name, std::uint32_t in_l_type, Handle* out_l_provider,
                              std::uint32_t* out_l_error) = 0;
  // The user key of in_l_key_spec (2 signature, 1 exchange).
  virtual bool GetUserKey(Handle in_l_provider, std::uint32_t in_l_key_spec, Handle* out_l_key,
                          std::uint32_t* out_l_error) = 0;
  // The key's DER certificate: with a null out_l_data only its size.
  virtual bool GetKeyCertificate(Handle in_l_key, std::uint8_t* out_l_data, std::uint32_t* io_l_size,
                                 std::uint32_t* out_l_error) = 0;
  virtual bool CreateSha256Hash(Handle in_l_provider, Handle* out_l_hash, std::uint32_t* out_l_error) = 0;
  // Sets the 32-byte hash value.
  virtual bool SetHashValue(Handle in_l_hash, const std::uint8_t* in_l_value, std::uint32_t* out_l_error) = 0;
  // PKCS#1 v1.5 signature with the user key, least significant byte first:
  // with a null out_l_data only its size.
  virtual bool SignHash(Handle in_l_hash, std::uint32_t in_l_key_spec, std::uint8_t* out_l_data,
                        std::uint32_t* io_l_size, std::uint32_t* out_l_error) = 0;
  virtual void DestroyKey(Handle in_l_key) = 0;
  virtual void DestroyHash(Handle in_l_hash) = 0;
  virtual void ReleaseContext(Handle in_l_provider) = 0;
};

// The providers installed on this system.
CryptoProvider& SystemCryptoProvider();

}  // namespace tavc::platform
