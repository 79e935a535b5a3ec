// CertificateFactory: the whole row table, and the objects of the classes this
// build has.
#include <gtest/gtest.h>

#include "host/cert/certificate_factory.h"
#include "host/cert/commercial_certificates.h"
#include "host/cert/file_certificate.h"
#include "host/cert/government_card_certificates.h"
#include "host/cert/houjin_certificate.h"
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

  // Every row creates its class.
  struct ClassRow {
    const wchar_t* type;
    const wchar_t* path;
    bool (*is_class)(const Certificate*);
  };
  const ClassRow l_classes[] = {
      {L"002", L"", [](const Certificate* c) { return dynamic_cast<const LgpkiCertificate*>(c) != nullptr; }},
      {L"003", L"", [](const Certificate* c) { return dynamic_cast<const GpkiCertificate*>(c) != nullptr; }},
      {L"004", L"", [](const Certificate* c) { return dynamic_cast<const TdbCertificate*>(c) != nullptr; }},
      {L"006", L"", [](const Certificate* c) { return dynamic_cast<const AoSignCertificate*>(c) != nullptr; }},
      {L"007", L"", [](const Certificate* c) { return dynamic_cast<const HoujinCertificate*>(c) != nullptr; }},
      {L"008", L"", [](const Certificate* c) { return dynamic_cast<const ToinxCertificate*>(c) != nullptr; }},
      {L"009", L"", [](const Certificate* c) { return dynamic_cast<const EProbatioPs2Certificate*>(c) != nullptr; }},
      {L"010", L"", [](const Certificate* c) { return dynamic_cast<const EProbatioPsaCertificate*>(c) != nullptr; }},
      {L"011", L"", [](const Certificate* c) { return dynamic_cast<const DiacertPlusCertificate*>(c) != nullptr; }},
      {L"012", L"", [](const Certificate* c) { return dynamic_cast<const DiacertCertificate*>(c) != nullptr; }},
      {L"019", L"", [](const Certificate* c) { return dynamic_cast<const GpkiApCertificate*>(c) != nullptr; }},
      {L"", L"C:\\a.p12", [](const Certificate* c) { return dynamic_cast<const FileCertificate*>(c) != nullptr; }},
      {L"000", L"C:\\a.p12", [](const Certificate* c) { return dynamic_cast<const JpkiCertificate*>(c) != nullptr; }},
  };
  for (const ClassRow& l_row : l_classes) {
    l_store.SetCertificateType(l_row.type);
    l_store.SetFilePath(l_row.path);
    const std::unique_ptr<Certificate> l_made =
        CertificateFactory::CreateCertificate(&l_store, &l_result, &l_error, l_api);
    EXPECT_TRUE(l_row.is_class(l_made.get())) << std::string(l_row.type, l_row.type + std::wcslen(l_row.type));
  }
  for (const wchar_t* l_type : {L"001", L"005", L"020"}) {
    l_store.SetCertificateType(l_type);
    EXPECT_EQ(nullptr, CertificateFactory::CreateCertificate(&l_store, &l_result, &l_error, l_api));
  }
  EXPECT_EQ(nullptr, CertificateFactory::CreateCertificate(nullptr, &l_result, &l_error, l_api));
}

}  // namespace
}  // namespace tavc
