// The file class on OpenSSL-made PKCS#12 files: every qualified kind it
// recognises, and every bad file, path and password.
#include <gtest/gtest.h>

#include "common/hex_codec.h"
#include "host/cert/file_certificate.h"
#include "tests/unit/cert/test_credentials.h"

namespace tavc {
namespace {

class FileCertificateTest : public ::testing::Test {
 protected:
  // Reads the file with the password and parses it; the first failing result.
  int Open(const std::wstring& in_l_path, const std::wstring& in_l_password = L"test-pass") {
    m_store_.SetFilePath(in_l_path);
    m_store_.SetFilePassword(in_l_password);
    m_certificate_ = std::make_unique<FileCertificate>(&m_store_, &m_result_, &m_error_, platform::SystemPkcs12File());
    const int l_result = m_certificate_->ReadCertificate();
    EXPECT_EQ(L"", m_store_.GetFilePassword()) << "the password outlived the import";
    return l_result == 0 ? m_certificate_->ReadCertificateDetail() : l_result;
  }

  void SetUp() override {
    m_store_.SetDigest(test::HashHex(1));
    m_store_.SetDigest(L"3031300d060960864801650304020105000420" + test::HashHex(2));
  }

  DataStore m_store_;
  ResultData m_result_;
  ErrorInfo m_error_;
  std::unique_ptr<FileCertificate> m_certificate_;
};

TEST_F(FileCertificateTest, EveryQualifiedKindIsRecognisedAndSigns) {
  struct Row {
    const char* file;
    const wchar_t* type;  // null: refused
  };
  const Row l_rows[] = {
      {"houjin.p12", L"007"},   {"diacert.p12", L"012"},        {"diacert-test.p12", L"012"},
      {"gid-013.p12", L"013"},  {"gid-014.p12", L"014"},        {"gid-014-not-jp.p12", nullptr},
      {"gid-015.p12", L"015"},  {"gid-016.p12", L"016"},        {"gid-017.p12", L"017"},
      {"gid-017-joined.p12", L"017"}, {"gid-018.p12", L"018"},  {"gid-none.p12", nullptr},
      {"aosign.p12", nullptr},  {"wrong-country.p12", nullptr}, {"legacy.p12", L"012"},
      {"aes256.p12", L"012"},   {"two-certs.p12", L"012"},
  };
  for (const Row& l_row : l_rows) {
    SCOPED_TRACE(l_row.file);
    m_error_ = ErrorInfo();
    const int l_result = Open(test::CredentialPath(l_row.file));
    if (l_row.type == nullptr) {
      EXPECT_EQ(1, l_result);
      EXPECT_EQ(L"EW244-3500", m_error_.GetCode());
      continue;
    }
    ASSERT_EQ(0, l_result) << std::string(m_error_.GetCode().begin(), m_error_.GetCode().end());
    EXPECT_EQ(l_row.type, m_certificate_->GetCertificateType());
    ASSERT_EQ(0, m_certificate_->ComputeSignature());
    ASSERT_EQ(2U, m_certificate_->GetSignatures().size());
    std::vector<std::uint8_t> l_der;
    ASSERT_TRUE(HexToBytes(m_certificate_->GetCertificateHex(), l_der));
    for (int l_i = 0; l_i < 2; ++l_i) {
      std::vector<std::uint8_t> l_signature;
      ASSERT_TRUE(HexToBytes(m_certificate_->GetSignatures()[static_cast<std::size_t>(l_i)], l_signature));
      EXPECT_TRUE(test::VerifiesWith(l_der, test::HashBytes(l_i + 1), l_signature));
    }
    m_certificate_->ReleaseResource();
    EXPECT_FALSE(m_certificate_->ValidateCapiResource());
  }
}

TEST_F(FileCertificateTest, KindTexts) {
  ASSERT_EQ(0, Open(test::CredentialPath("houjin.p12")));
  EXPECT_EQ(L"株式会社サンプル", m_certificate_->GetSubjectAltName());
  EXPECT_EQ(L"JP 株式会社サンプル 見本太郎", m_certificate_->GetSubject());
  ASSERT_EQ(0, Open(test::CredentialPath("gid-013.p12")));
  EXPECT_EQ(L"JP SECOM Trust.net Co., Ltd. General Unit Second Gen Holder G-13", m_certificate_->GetSubject());
  ASSERT_EQ(0, Open(test::CredentialPath("gid-014.p12")));
  EXPECT_EQ(L"Tokyo Minato", m_certificate_->GetSubjectAddress());
  EXPECT_EQ(L"LTAX eLTAX proxy", m_certificate_->GetSubjectAltNameProxyEltax());
  ASSERT_EQ(0, Open(test::CredentialPath("gid-016.p12")));
  EXPECT_EQ(L"Land Investigator Name", m_certificate_->GetSubjectAltName());
}

TEST_F(FileCertificateTest, BadFilesPathsAndPasswordsGetTheirCodes) {
  const std::wstring l_long = test::CredentialPath(
      "long/" + std::string(120, 'd') + "/" + std::string(120, 'e') + "/" + std::string(60, 'f') + ".p12");
  ASSERT_GE(l_long.size(), 300U);
  struct Row {
    std::wstring path;
    std::wstring password;
    const wchar_t* code;  // null: opens
  };
  const Row l_rows[] = {
      {test::CredentialPath("not-pkcs12.p12"), L"test-pass", L"EW240-3203"},
      {test::CredentialPath("empty.p12"), L"test-pass", L"EW240-3203"},
      {test::CredentialPath("diacert.p12"), L"wrong", L"EW240-3204"},
      {test::CredentialPath("diacert.p12"), L"", L"EW240-3204"},
      {test::CredentialPath("empty-password.p12"), L"", nullptr},
      {test::CredentialPath("no-key.p12"), L"test-pass", L"EW244-3201"},
      {test::CredentialPath("missing.p12"), L"test-pass", L"EW240-3200"},
      {test::CredentialPath("long"), L"test-pass", L"EW240-3200"},
      {test::CredentialPath("証明書ファイル.p12"), L"test-pass", nullptr},
      {l_long, L"test-pass", nullptr},
      {test::CredentialPath("exactly-1mib.bin"), L"test-pass", L"EW240-3203"},
      {test::CredentialPath("over-1mib.bin"), L"test-pass", L"EW240-3201"},
      {test::CredentialPath("50mib.p12"), L"test-pass", L"EW240-3201"},
      {L"", L"test-pass", L"EW240-3200"},
  };
  for (const Row& l_row : l_rows) {
    SCOPED_TRACE(std::string(l_row.path.begin(), l_row.path.end()));
    m_error_ = ErrorInfo();
    const int l_result = Open(l_row.path, l_row.password);
    if (l_row.code == nullptr) {
      EXPECT_EQ(0, l_result);
    } else {
      EXPECT_EQ(1, l_result);
      EXPECT_EQ(l_row.code, m_error_.GetCode());
      EXPECT_FALSE(m_certificate_->ValidateCapiResource());
    }
    // The password never reaches the record.
    EXPECT_EQ(std::wstring::npos, (m_error_.GetDetail1() + m_error_.GetDetail2() + m_error_.GetDetail3()).find(L"test-pass"));
  }
}

}  // namespace
}  // namespace tavc
