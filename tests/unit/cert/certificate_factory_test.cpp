// CertificateFactory: the whole row table, and the objects of the classes this
// build has.
#include <gtest/gtest.h>

#include "host/cert/certificate_factory.h"
#include "host/cert/gpki_ap_certificate.h"
#include "host/cert/jpki_certificate.h"
#include "tests/support/scripted_scard_api.h"

namespace tavc {
namespace {

TEST(CertificateFactory, RowsAreTestedInTheirOrder) {
  struct Row {
    const wchar_t* type;
    const wchar_t* path;
    CertificateKind kind;
  };
  const Row l_rows[] = {
      {L"", L"", CertificateKind::kJpki},
      {L"000", L"", CertificateKind::kJpki},
      {L"000", L"C:\\a.p12", CertificateKind::kJpki},
      {L"002", L"", CertificateKind::kLgpki},
      {L"003", L"", CertificateKind::kGpki},
      {L"004", L"", CertificateKind::kTdb},
      {L"006", L"", CertificateKind::kAoSign},
      {L"007", L"", CertificateKind::kHoujin},
      {L"008", L"", CertificateKind::kToinx},
      {L"009", L"", CertificateKind::kEProbatioPs2},
      {L"010", L"", CertificateKind::kEProbatioPsa},
      {L"011", L"", CertificateKind::kDiacertPlus},
      {L"012", L"C:\\a.p12", CertificateKind::kDiacert},
      {L"019", L"", CertificateKind::kGpkiAp},
      {L"", L"C:\\a.p12", CertificateKind::kFile},
      {L"001", L"", CertificateKind::kNone},
      {L"005", L"", CertificateKind::kNone},
      {L"013", L"C:\\a.p12", CertificateKind::kNone},
      {L"19", L"", CertificateKind::kNone},
      {L"019 ", L"", CertificateKind::kNone},
      {L"0", L"", CertificateKind::kNone},
  };
  for (const Row& l_row : l_rows) {
    EXPECT_EQ(l_row.kind, CertificateFactory::SelectKind(l_row.type, l_row.path))
        << "type \"" << std::string(l_row.type, l_row.type + std::wcslen(l_row.type)) << "\"";
  }
}

TEST(CertificateFactory, CreatesTheCardClassesWithTheRecords) {
  test::ScriptedSCardApi l_api;
  DataStore l_store;
  ResultData l_result;
  ErrorInfo l_error;
  std::unique_ptr<Certificate> l_jpki = CertificateFactory::CreateCertificate(&l_store, &l_result, &l_error, l_api);
  ASSERT_NE(nullptr, dynamic_cast<JpkiCertificate*>(l_jpki.get()));
  EXPECT_EQ(&l_store, l_jpki->GetDataStore());
  EXPECT_EQ(&l_result, l_jpki->GetResultData());
  EXPECT_EQ(&l_error, l_jpki->GetErrorInfo());

  l_store.SetCertificateType(L"019");
  EXPECT_NE(nullptr, dynamic_cast<GpkiApCertificate*>(
                         CertificateFactory::CreateCertificate(&l_store, &l_result, &l_error, l_api).get()));
  // Rows whose classes come later, and no row at all.
  for (const wchar_t* l_type : {L"002", L"003", L"007", L"012", L"001"}) {
    l_store.SetCertificateType(l_type);
    EXPECT_EQ(nullptr, CertificateFactory::CreateCertificate(&l_store, &l_result, &l_error, l_api));
  }
  l_store.SetCertificateType(L"");
  l_store.SetFilePath(L"C:\\a.p12");
  EXPECT_EQ(nullptr, CertificateFactory::CreateCertificate(&l_store, &l_result, &l_error, l_api));
  EXPECT_EQ(nullptr, CertificateFactory::CreateCertificate(nullptr, &l_result, &l_error, l_api));
}

}  // namespace
}  // namespace tavc
