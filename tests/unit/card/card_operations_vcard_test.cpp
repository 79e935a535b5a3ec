// The card operations end to end on cardsim's virtual cards, in process.
#include <gtest/gtest.h>

#include "tests/support/card_scenarios.h"
#include "tests/support/in_process_card_rig.h"

namespace tavc::test {
namespace {

class VirtualCardOperations : public ::testing::Test {
 protected:
  void TearDown() override { EXPECT_EQ(0U, m_rig_.OpenHandles()); }

  InProcessCardRig m_rig_;
};

TEST_F(VirtualCardOperations, LoginSignatureVerifiesWithTheCertificate) {
  scenarios::LoginSignatureVerifiesWithTheCertificate(m_rig_);
}
TEST_F(VirtualCardOperations, ThreeDigestsAreSignedAndVerify) { scenarios::ThreeDigestsAreSignedAndVerify(m_rig_); }
TEST_F(VirtualCardOperations, PersonalDataIsReadAndDecoded) { scenarios::PersonalDataIsReadAndDecoded(m_rig_); }
TEST_F(VirtualCardOperations, EachPasswordIsChangedThenUsed) { scenarios::EachPasswordIsChangedThenUsed(m_rig_); }
TEST_F(VirtualCardOperations, WrongPinReportsTheTriesLeft) { scenarios::WrongPinReportsTheTriesLeft(m_rig_); }
TEST_F(VirtualCardOperations, LastWrongPinLocksThePin) { scenarios::LastWrongPinLocksThePin(m_rig_); }
TEST_F(VirtualCardOperations, CardRemovedDuringCertificateRead) {
  scenarios::CardRemovedDuringCertificateRead(m_rig_);
}
TEST_F(VirtualCardOperations, NoReaderAtAll) { scenarios::NoReaderAtAll(m_rig_); }
TEST_F(VirtualCardOperations, FirstReaderEmptySecondHoldsTheCard) {
  scenarios::FirstReaderEmptySecondHoldsTheCard(m_rig_);
}
TEST_F(VirtualCardOperations, GpkiCardWhereMyNumberCardIsExpected) {
  scenarios::GpkiCardWhereMyNumberCardIsExpected(m_rig_);
}
TEST_F(VirtualCardOperations, MyNumberCardWhereGpkiCardIsExpected) {
  scenarios::MyNumberCardWhereGpkiCardIsExpected(m_rig_);
}
TEST_F(VirtualCardOperations, GpkiSignatureVerifiesAndPasswordChanges) {
  scenarios::GpkiSignatureVerifiesAndPasswordChanges(m_rig_);
}

}  // namespace
}  // namespace tavc::test
