#pragma once
// The certificates and PKCS#12 files of tests/credentials/make_test_credentials.sh,
// made once per test program in the build folder, and a signature check by OpenSSL.
#include <cstdint>
#include <string>
#include <vector>

namespace tavc::test {

// The folder holding the credentials; fails the test program when the script fails.
const std::string& CredentialsDir();
std::vector<std::uint8_t> CredentialBytes(const std::string& in_l_name);
// The path of a credential as the data store holds it.
std::wstring CredentialPath(const std::string& in_l_name);
// True when in_l_signature (big-endian) is the PKCS#1 v1.5 signature of the
// SHA-256 value in_l_hash by the key of the DER certificate.
bool VerifiesWith(const std::vector<std::uint8_t>& in_l_certificate, const std::vector<std::uint8_t>& in_l_hash,
                  const std::vector<std::uint8_t>& in_l_signature);
// A SHA-256 value as 64 hexadecimal digits, and the same value's bytes.
std::wstring HashHex(int in_l_seed);
std::vector<std::uint8_t> HashBytes(int in_l_seed);

}  // namespace tavc::test
