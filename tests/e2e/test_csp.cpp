// A cryptographic service provider for the end-to-end tests under wine: it
// stands in for the card vendors' providers, holding one RSA key and its
// certificate from the folder named by TAV_TEST_CSP_DIR (key.blob, a BCrypt
// RSA private key blob; cert.der), and signs through the system's bcrypt.
// TAV_TEST_CSP_KEYS names the user keys the container has: "2" signature
// (default), "1" exchange, "12" both.
#include <windows.h>
#include <wincrypt.h>
#include <bcrypt.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

struct Provider {
  BCRYPT_ALG_HANDLE algorithm = nullptr;
  BCRYPT_KEY_HANDLE key = nullptr;
  std::vector<BYTE> certificate;
  std::string key_specs;
};
struct Key {
  Provider* provider;
};
struct Hash {
  std::vector<BYTE> value;
};

std::wstring Environment(const wchar_t* in_l_name) {
  wchar_t l_value[1024];
  const DWORD l_size = GetEnvironmentVariableW(in_l_name, l_value, 1024);
  return l_size == 0 || l_size >= 1024 ? std::wstring() : std::wstring(l_value, l_size);
}

bool ReadAll(const std::wstring& in_l_path, std::vector<BYTE>* out_l_bytes) {
  std::ifstream l_file(in_l_path.c_str(), std::ios::binary);
  if (!l_file) return false;
  out_l_bytes->assign(std::istreambuf_iterator<char>(l_file), std::istreambuf_iterator<char>());
  return !out_l_bytes->empty();
}

BOOL Fail(DWORD in_l_error) {
  SetLastError(in_l_error);
  return FALSE;
}

BOOL NotUsed() { return Fail(static_cast<DWORD>(E_NOTIMPL)); }

bool HasKey(const Provider& in_l_provider, DWORD in_l_spec) {
  return in_l_provider.key_specs.find(in_l_spec == AT_SIGNATURE ? '2' : '1') != std::string::npos &&
         (in_l_spec == AT_SIGNATURE || in_l_spec == AT_KEYEXCHANGE);
}

}  // namespace

extern "C" {

__declspec(dllexport) BOOL WINAPI CPAcquireContext(HCRYPTPROV* phProv, LPCSTR, DWORD, void*) {
  const std::wstring l_dir = Environment(L"TAV_TEST_CSP_DIR");
  auto* l_provider = new Provider;
  std::vector<BYTE> l_blob;
  if (l_dir.empty() || !ReadAll(l_dir + L"\\key.blob", &l_blob) || !ReadAll(l_dir + L"\\cert.der", &l_provider->certificate) ||
      BCryptOpenAlgorithmProvider(&l_provider->algorithm, BCRYPT_RSA_ALGORITHM, nullptr, 0) != 0 ||
      BCryptImportKeyPair(l_provider->algorithm, nullptr, BCRYPT_RSAPRIVATE_BLOB, &l_provider->key, l_blob.data(),
                          static_cast<ULONG>(l_blob.size()), 0) != 0) {
    if (l_provider->algorithm != nullptr) BCryptCloseAlgorithmProvider(l_provider->algorithm, 0);
    delete l_provider;
    return Fail(static_cast<DWORD>(NTE_KEYSET_NOT_DEF));
  }
  const std::wstring l_specs = Environment(L"TAV_TEST_CSP_KEYS");
  l_provider->key_specs = l_specs.empty() ? "2" : std::string(l_specs.begin(), l_specs.end());
  *phProv = reinterpret_cast<HCRYPTPROV>(l_provider);
  return TRUE;
}

__declspec(dllexport) BOOL WINAPI CPReleaseContext(HCRYPTPROV hProv, DWORD) {
  auto* l_provider = reinterpret_cast<Provider*>(hProv);
  BCryptDestroyKey(l_provider->key);
  BCryptCloseAlgorithmProvider(l_provider->algorithm, 0);
  delete l_provider;
  return TRUE;
}

__declspec(dllexport) BOOL WINAPI CPGetUserKey(HCRYPTPROV hProv, DWORD dwKeySpec, HCRYPTKEY* phUserKey) {
  auto* l_provider = reinterpret_cast<Provider*>(hProv);
  if (!HasKey(*l_provider, dwKeySpec)) return Fail(static_cast<DWORD>(NTE_NO_KEY));
  *phUserKey = reinterpret_cast<HCRYPTKEY>(new Key{l_provider});
  return TRUE;
}

__declspec(dllexport) BOOL WINAPI CPDestroyKey(HCRYPTPROV, HCRYPTKEY hKey) {
  delete reinterpret_cast<Key*>(hKey);
  return TRUE;
}

__declspec(dllexport) BOOL WINAPI CPGetKeyParam(HCRYPTPROV, HCRYPTKEY hKey, DWORD dwParam, BYTE* pbData,
                                                DWORD* pdwDataLen, DWORD) {
  if (dwParam != KP_CERTIFICATE) return Fail(static_cast<DWORD>(NTE_BAD_TYPE));
  const std::vector<BYTE>& l_certificate = reinterpret_cast<Key*>(hKey)->provider->certificate;
  const DWORD l_size = static_cast<DWORD>(l_certificate.size());
  if (pbData != nullptr && *pdwDataLen < l_size) {
    *pdwDataLen = l_size;
    return Fail(ERROR_MORE_DATA);
  }
  if (pbData != nullptr) std::copy(l_certificate.begin(), l_certificate.end(), pbData);
  *pdwDataLen = l_size;
  return TRUE;
}

__declspec(dllexport) BOOL WINAPI CPCreateHash(HCRYPTPROV, ALG_ID Algid, HCRYPTKEY, DWORD, HCRYPTHASH* phHash) {
  if (Algid != CALG_SHA_256) return Fail(static_cast<DWORD>(NTE_BAD_ALGID));
  *phHash = reinterpret_cast<HCRYPTHASH>(new Hash);
  return TRUE;
}

__declspec(dllexport) BOOL WINAPI CPSetHashParam(HCRYPTPROV, HCRYPTHASH hHash, DWORD dwParam, const BYTE* pbData,
                                                 DWORD) {
  if (dwParam != HP_HASHVAL) return Fail(static_cast<DWORD>(NTE_BAD_TYPE));
  reinterpret_cast<Hash*>(hHash)->value.assign(pbData, pbData + 32);
  return TRUE;
}

__declspec(dllexport) BOOL WINAPI CPSignHash(HCRYPTPROV hProv, HCRYPTHASH hHash, DWORD dwKeySpec, LPCWSTR, DWORD,
                                             BYTE* pbSignature, DWORD* pdwSigLen) {
  auto* l_provider = reinterpret_cast<Provider*>(hProv);
  Hash* l_hash = reinterpret_cast<Hash*>(hHash);
  if (!HasKey(*l_provider, dwKeySpec)) return Fail(static_cast<DWORD>(NTE_NO_KEY));
  if (l_hash->value.size() != 32) return Fail(static_cast<DWORD>(NTE_BAD_HASH_STATE));
  BCRYPT_PKCS1_PADDING_INFO l_padding{BCRYPT_SHA256_ALGORITHM};
  ULONG l_size = 0;
  if (BCryptSignHash(l_provider->key, &l_padding, l_hash->value.data(), 32, nullptr, 0, &l_size, BCRYPT_PAD_PKCS1) !=
      0) {
    return Fail(static_cast<DWORD>(NTE_FAIL));
  }
  if (pbSignature == nullptr) {
    *pdwSigLen = l_size;
    return TRUE;
  }
  if (*pdwSigLen < l_size) {
    *pdwSigLen = l_size;
    return Fail(ERROR_MORE_DATA);
  }
  if (BCryptSignHash(l_provider->key, &l_padding, l_hash->value.data(), 32, pbSignature, l_size, &l_size,
                     BCRYPT_PAD_PKCS1) != 0) {
    return Fail(static_cast<DWORD>(NTE_FAIL));
  }
  // CryptoAPI signatures are little-endian.
  std::reverse(pbSignature, pbSignature + l_size);
  *pdwSigLen = l_size;
  return TRUE;
}

__declspec(dllexport) BOOL WINAPI CPDestroyHash(HCRYPTPROV, HCRYPTHASH hHash) {
  delete reinterpret_cast<Hash*>(hHash);
  return TRUE;
}

// The rest of the provider interface, which the signing path never calls.
__declspec(dllexport) BOOL WINAPI CPGenKey(HCRYPTPROV, ALG_ID, DWORD, HCRYPTKEY*) { return NotUsed(); }
__declspec(dllexport) BOOL WINAPI CPDeriveKey(HCRYPTPROV, ALG_ID, HCRYPTHASH, DWORD, HCRYPTKEY*) {
  return NotUsed();
}
__declspec(dllexport) BOOL WINAPI CPSetKeyParam(HCRYPTPROV, HCRYPTKEY, DWORD, const BYTE*, DWORD) {
  return NotUsed();
}
__declspec(dllexport) BOOL WINAPI CPSetProvParam(HCRYPTPROV, DWORD, const BYTE*, DWORD) { return NotUsed(); }
__declspec(dllexport) BOOL WINAPI CPGetProvParam(HCRYPTPROV, DWORD, BYTE*, DWORD*, DWORD) { return NotUsed(); }
__declspec(dllexport) BOOL WINAPI CPGetHashParam(HCRYPTPROV, HCRYPTHASH, DWORD, BYTE*, DWORD*, DWORD) {
  return NotUsed();
}
__declspec(dllexport) BOOL WINAPI CPExportKey(HCRYPTPROV, HCRYPTKEY, HCRYPTKEY, DWORD, DWORD, BYTE*, DWORD*) {
  return NotUsed();
}
__declspec(dllexport) BOOL WINAPI CPImportKey(HCRYPTPROV, const BYTE*, DWORD, HCRYPTKEY, DWORD, HCRYPTKEY*) {
  return NotUsed();
}
__declspec(dllexport) BOOL WINAPI CPEncrypt(HCRYPTPROV, HCRYPTKEY, HCRYPTHASH, BOOL, DWORD, BYTE*, DWORD*, DWORD) {
  return NotUsed();
}
__declspec(dllexport) BOOL WINAPI CPDecrypt(HCRYPTPROV, HCRYPTKEY, HCRYPTHASH, BOOL, DWORD, BYTE*, DWORD*) {
  return NotUsed();
}
__declspec(dllexport) BOOL WINAPI CPHashData(HCRYPTPROV, HCRYPTHASH, const BYTE*, DWORD, DWORD) {
  return NotUsed();
}
__declspec(dllexport) BOOL WINAPI CPHashSessionKey(HCRYPTPROV, HCRYPTHASH, HCRYPTKEY, DWORD) { return NotUsed(); }
__declspec(dllexport) BOOL WINAPI CPVerifySignature(HCRYPTPROV, HCRYPTHASH, const BYTE*, DWORD, HCRYPTKEY, LPCWSTR,
                                                    DWORD) {
  return NotUsed();
}
__declspec(dllexport) BOOL WINAPI CPGenRandom(HCRYPTPROV, DWORD, BYTE*) { return NotUsed(); }

}  // extern "C"
