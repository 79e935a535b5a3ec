#pragma once
// The card operations end to end on virtual cards, written once for every rig
// (in process, or through a real pcscd). Each scenario sets up its readers,
// drives the operations as the card workers do and checks the outcome with
// GoogleTest assertions; a rig that cannot start fails the scenario.
#include <cstdint>

#include "tests/support/card_rig.h"

namespace tavc::test::scenarios {

void LoginSignatureVerifiesWithTheCertificate(CardRig& io_l_rig);
void ThreeDigestsAreSignedAndVerify(CardRig& io_l_rig);
void PersonalDataIsReadAndDecoded(CardRig& io_l_rig);
void EachPasswordIsChangedThenUsed(CardRig& io_l_rig);
void WrongPinReportsTheTriesLeft(CardRig& io_l_rig);
void LastWrongPinLocksThePin(CardRig& io_l_rig);
// in_l_result is the PC/SC result the removal is recorded with; 0 accepts any a
// real service gives for a pulled card.
void CardRemovedDuringCertificateRead(CardRig& io_l_rig, std::int32_t in_l_result = 0);
// in_l_detail is the PC/SC result that told of no reader.
void NoReaderAtAll(CardRig& io_l_rig, const wchar_t* in_l_detail = L"0x8010002e");
void FirstReaderEmptySecondHoldsTheCard(CardRig& io_l_rig);
void GpkiCardWhereMyNumberCardIsExpected(CardRig& io_l_rig);
void MyNumberCardWhereGpkiCardIsExpected(CardRig& io_l_rig);
void GpkiSignatureVerifiesAndPasswordChanges(CardRig& io_l_rig);
// After a session that verified the PIN, another program must verify it again.
void VerifiedPinDoesNotOutliveTheSession(CardRig& io_l_rig);

}  // namespace tavc::test::scenarios
