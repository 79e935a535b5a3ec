// Signing 100 digests through the provider seam and the PKCS#12 seam, against
// the bare RSA signatures of the same key (the difference is the host's own
// time), and opening a PKCS#12 file.
#include <benchmark/benchmark.h>

#include <openssl/evp.h>
#include <openssl/rsa.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

#include "common/hex_codec.h"
#include "common/utf_conversion.h"
#include "host/cert/card_certificate.h"
#include "host/cert/commercial_certificates.h"
#include "host/cert/file_certificate.h"
#include "platform/software_token.h"

namespace tavc {
namespace {

constexpr int kDigests = 100;

const std::string& Dir() {
  static const std::string s_dir = [] {
    const std::string l_dir = TAV_CREDENTIALS_DIR;
    if (std::system(("bash '" + std::string(TAV_CREDENTIALS_SCRIPT) + "' '" + l_dir + "'").c_str()) != 0) std::abort();
    return l_dir;
  }();
  return s_dir;
}

std::vector<std::uint8_t> Bytes(const std::string& in_l_name) {
  std::ifstream l_file(Dir() + "/" + in_l_name, std::ios::binary);
  return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(l_file), std::istreambuf_iterator<char>());
}

void FillDigests(DataStore& io_l_store) {
  for (int l_i = 0; l_i < kDigests; ++l_i) {
    std::vector<std::uint8_t> l_hash(32, static_cast<std::uint8_t>(l_i));
    io_l_store.SetDigest(BytesToHex(l_hash.data(), l_hash.size(), HexCase::kLower));
  }
}

void BareRsa100(benchmark::State& io_l_state) {
  const std::vector<std::uint8_t> l_der = Bytes("key.der");
  const unsigned char* l_cursor = l_der.data();
  EVP_PKEY* l_key = d2i_AutoPrivateKey(nullptr, &l_cursor, static_cast<long>(l_der.size()));
  std::vector<std::uint8_t> l_hash(32, 7);
  std::vector<std::uint8_t> l_signature(512);
  for (auto l_unused : io_l_state) {
    for (int l_i = 0; l_i < kDigests; ++l_i) {
      EVP_PKEY_CTX* l_context = EVP_PKEY_CTX_new(l_key, nullptr);
      std::size_t l_size = l_signature.size();
      EVP_PKEY_sign_init(l_context);
      EVP_PKEY_CTX_set_rsa_padding(l_context, RSA_PKCS1_PADDING);
      EVP_PKEY_CTX_set_signature_md(l_context, EVP_sha256());
      EVP_PKEY_sign(l_context, l_signature.data(), &l_size, l_hash.data(), l_hash.size());
      EVP_PKEY_CTX_free(l_context);
    }
  }
  EVP_PKEY_free(l_key);
}
BENCHMARK(BareRsa100)->Unit(benchmark::kMillisecond);

void ProviderSeam100(benchmark::State& io_l_state) {
  platform::SoftwareToken l_token;
  platform::SoftwareToken::Token l_content;
  l_content.type = 24;
  l_content.private_key_der = Bytes("key.der");
  l_content.certificate_der = Bytes("aosign.der");
  l_token.AddToken(CardCertificate::ChooseProvider(L"006").name, l_content);
  DataStore l_store;
  l_store.SetCertificateType(L"006");
  FillDigests(l_store);
  ResultData l_result;
  ErrorInfo l_error;
  AoSignCertificate l_certificate(&l_store, &l_result, &l_error, l_token);
  if (l_certificate.ReadCertificate() != 0) std::abort();
  for (auto l_unused : io_l_state) {
    if (l_certificate.ComputeSignature() != 0) std::abort();
  }
}
BENCHMARK(ProviderSeam100)->Unit(benchmark::kMillisecond);

void Pkcs12Seam100(benchmark::State& io_l_state) {
  DataStore l_store;
  l_store.SetFilePath(Utf8ToUtf16(Dir() + "/diacert.p12"));
  l_store.SetFilePassword(L"test-pass");
  FillDigests(l_store);
  ResultData l_result;
  ErrorInfo l_error;
  FileCertificate l_certificate(&l_store, &l_result, &l_error, platform::SystemPkcs12File());
  if (l_certificate.ReadCertificate() != 0) std::abort();
  for (auto l_unused : io_l_state) {
    if (l_certificate.ComputeSignature() != 0) std::abort();
  }
}
BENCHMARK(Pkcs12Seam100)->Unit(benchmark::kMillisecond);

void OpenPkcs12(benchmark::State& io_l_state, const char* in_l_file) {
  DataStore l_store;
  l_store.SetFilePath(Utf8ToUtf16(Dir() + "/" + in_l_file));
  ResultData l_result;
  ErrorInfo l_error;
  for (auto l_unused : io_l_state) {
    l_store.SetFilePassword(L"test-pass");
    FileCertificate l_certificate(&l_store, &l_result, &l_error, platform::SystemPkcs12File());
    if (l_certificate.ReadCertificate() != 0 || l_certificate.ReadCertificateDetail() != 0) std::abort();
  }
}
BENCHMARK_CAPTURE(OpenPkcs12, aes256, "aes256.p12")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(OpenPkcs12, legacy_3des_rc2, "legacy.p12")->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tavc

BENCHMARK_MAIN();
