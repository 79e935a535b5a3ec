#include "tools/cardsim/my_number_card.h"

#include <utility>

#include "tools/cardsim/card_file_helpers.h"
#include "tools/cardsim/card_identities.h"
#include "tools/cardsim/personal_data_files.h"

namespace tavc::cardsim {
namespace {

CardApplication JpkiApplication(const MyNumberCardProfile& in_l_profile,
                                const MyNumberCredentials& in_l_credentials) {
  CardApplication l_application;
  l_application.m_aid_ = kJpkiAid;
  std::vector<std::uint8_t> l_token = TokenBytes(in_l_profile.m_jpki_token_);
  l_token.resize(160, 0x00);
  std::vector<ElementaryFile>& l_files = l_application.m_files_;
  l_files.push_back(BinaryFile(0x0006, std::move(l_token)));
  l_files.push_back(BinaryFile(0x000A, in_l_credentials.m_auth_.m_certificate_));
  l_files.push_back(BinaryFile(0x000B, in_l_credentials.m_auth_ca_certificate_));
  l_files.push_back(BinaryFile(0x0001, in_l_credentials.m_sign_.m_certificate_, 0x001B));
  l_files.push_back(BinaryFile(0x0002, in_l_credentials.m_sign_ca_certificate_));
  l_files.push_back(KeyFile(0x0017, in_l_credentials.m_auth_.m_key_, 0x0018));
  l_files.push_back(PinFile(0x0018, in_l_profile.m_auth_pin_, PinFormat::kFourDigits));
  l_files.push_back(KeyFile(0x001A, in_l_credentials.m_sign_.m_key_, 0x001B));
  l_files.push_back(PinFile(0x001B, in_l_profile.m_sign_password_, PinFormat::kUpperAlnum6To16));
  return l_application;
}

CardApplication CardSurfaceApplication(const MyNumberCardProfile& in_l_profile) {
  CardApplication l_application;
  l_application.m_aid_ = kCardSurfaceAid;
  l_application.m_files_.push_back(BinaryFile(0x0001, IndividualNumberFile(in_l_profile), 0x0011));
  l_application.m_files_.push_back(BinaryFile(0x0002, BasicFourItemsFile(in_l_profile), 0x0011));
  l_application.m_files_.push_back(
      PinFile(0x0011, in_l_profile.m_surface_pin_, PinFormat::kFourDigits));
  return l_application;
}

CardApplication CardInformationApplication(const MyNumberCardProfile& in_l_profile) {
  CardApplication l_application;
  l_application.m_aid_ = kCardInformationAid;
  ElementaryFile l_file;
  l_file.m_file_id_ = 0x0001;
  l_file.m_kind_ = FileKind::kRecord;
  l_file.m_records_.push_back(CardInformationRecord(in_l_profile));
  l_application.m_files_.push_back(std::move(l_file));
  return l_application;
}

}  // namespace

std::unique_ptr<IsoCard> MakeMyNumberCard(const MyNumberCardProfile& in_l_profile,
                                          const MyNumberCredentials& in_l_credentials) {
  std::vector<CardApplication> l_applications;
  l_applications.push_back(JpkiApplication(in_l_profile, in_l_credentials));
  l_applications.push_back(CardSurfaceApplication(in_l_profile));
  l_applications.push_back(CardInformationApplication(in_l_profile));
  return std::make_unique<IsoCard>(kMyNumberAtr, std::move(l_applications));
}

}  // namespace tavc::cardsim
