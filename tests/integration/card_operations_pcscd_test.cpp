// The card operations end to end through the product's pcsc-lite SCardApi, a
// real pcscd, the vpcd driver and cardsim-daemon. A pcscd that cannot be
// started fails these tests: they must not pass without having run.
#include <gtest/gtest.h>

#include "tests/integration/pcscd_card_rig.h"
#include "tests/support/card_scenarios.h"

namespace tavc::test {
namespace {

class PcscdCardOperations : public ::testing::Test {
 protected:
  PcscdCardRig m_rig_;
};

TEST_F(PcscdCardOperations, LoginSignatureVerifiesWithTheCertificate) {
  scenarios::LoginSignatureVerifiesWithTheCertificate(m_rig_);
}
TEST_F(PcscdCardOperations, ThreeDigestsAreSignedAndVerify) { scenarios::ThreeDigestsAreSignedAndVerify(m_rig_); }
TEST_F(PcscdCardOperations, PersonalDataIsReadAndDecoded) { scenarios::PersonalDataIsReadAndDecoded(m_rig_); }
TEST_F(PcscdCardOperations, EachPasswordIsChangedThenUsed) { scenarios::EachPasswordIsChangedThenUsed(m_rig_); }
TEST_F(PcscdCardOperations, WrongPinReportsTheTriesLeft) { scenarios::WrongPinReportsTheTriesLeft(m_rig_); }
TEST_F(PcscdCardOperations, LastWrongPinLocksThePin) { scenarios::LastWrongPinLocksThePin(m_rig_); }
TEST_F(PcscdCardOperations, CardRemovedDuringCertificateRead) {
  scenarios::CardRemovedDuringCertificateRead(m_rig_);
}
TEST_F(PcscdCardOperations, VerifiedPinDoesNotOutliveTheSession) {
  scenarios::VerifiedPinDoesNotOutliveTheSession(m_rig_);
}
TEST_F(PcscdCardOperations, NoReaderAtAll) { scenarios::NoReaderAtAll(m_rig_); }
TEST_F(PcscdCardOperations, FirstReaderEmptySecondHoldsTheCard) {
  scenarios::FirstReaderEmptySecondHoldsTheCard(m_rig_);
}
TEST_F(PcscdCardOperations, GpkiCardWhereMyNumberCardIsExpected) {
  scenarios::GpkiCardWhereMyNumberCardIsExpected(m_rig_);
}
TEST_F(PcscdCardOperations, MyNumberCardWhereGpkiCardIsExpected) {
  scenarios::MyNumberCardWhereGpkiCardIsExpected(m_rig_);
}
TEST_F(PcscdCardOperations, GpkiSignatureVerifiesAndPasswordChanges) {
  scenarios::GpkiSignatureVerifiesAndPasswordChanges(m_rig_);
}

}  // namespace
}  // namespace tavc::test
