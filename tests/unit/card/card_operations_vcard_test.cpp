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
  scenarios::CardRemovedDuringCertificateRead(m_rig_, platform::kScardWRemovedCard);
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
TEST_F(VirtualCardOperations, VerifiedPinDoesNotOutliveTheSession) {
  scenarios::VerifiedPinDoesNotOutliveTheSession(m_rig_);
}

// A reader that speaks T=0 answers data by 61 xx and a wrong Le by 6C xx.
TEST_F(VirtualCardOperations, EveryOperationWorksThroughAT0Reader) {
  m_rig_.ConfigureApi([](VirtualSCardApi& io_l_api) { io_l_api.UseT0(true); });
  scenarios::LoginSignatureVerifiesWithTheCertificate(m_rig_);
  scenarios::PersonalDataIsReadAndDecoded(m_rig_);
  scenarios::GpkiSignatureVerifiesAndPasswordChanges(m_rig_);
}

// Windows stops its smart-card service when no reader is plugged in.
TEST_F(VirtualCardOperations, StoppedServiceIsNoReader) {
  for (const bool l_at_list : {false, true}) {
    m_rig_.ConfigureApi([l_at_list](VirtualSCardApi& io_l_api) {
      (l_at_list ? io_l_api.SetListResult(platform::kScardENoService)
                 : io_l_api.SetEstablishResult(platform::kScardENoService));
    });
    scenarios::NoReaderAtAll(m_rig_, L"0x8010001d");
  }
}

// Readers report a card pulled mid-command in several ways.
TEST_F(VirtualCardOperations, EveryWayACardIsPulledIsARemovedCard) {
  const std::pair<std::int32_t, bool> l_ways[] = {{platform::kScardWResetCard, false},
                                                   {platform::kScardENoSmartcard, false},
                                                   {platform::kScardENotTransacted, false},
                                                   {platform::kScardSuccess, true}};
  for (const auto& l_way : l_ways) {
    m_rig_.ConfigureApi([l_way](VirtualSCardApi& io_l_api) { io_l_api.SetRemovalResult(l_way.first, l_way.second); });
    const std::int32_t l_recorded = l_way.second ? platform::kScardWRemovedCard : l_way.first;
    scenarios::CardRemovedDuringCertificateRead(m_rig_, l_recorded);
  }
}

}  // namespace
}  // namespace tavc::test
