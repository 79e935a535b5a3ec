#include "tools/cardsim/gpki_card.h"

#include <utility>

#include "tools/cardsim/card_file_helpers.h"
#include "tools/cardsim/card_identities.h"
#include "tools/cardsim/personal_data_files.h"

namespace tavc::cardsim {

std::unique_ptr<IsoCard> MakeGpkiCard(const GpkiCardProfile& in_l_profile,
                                      const GpkiCredentials& in_l_credentials) {
  CardApplication l_application;
  l_application.m_aid_ = kGpkiAid;
  std::vector<ElementaryFile>& l_files = l_application.m_files_;
  l_files.push_back(BinaryFile(0x0006, TokenBytes(in_l_profile.m_gpki_token_)));
  l_files.push_back(BinaryFile(0x0001, in_l_credentials.m_user_.m_certificate_));
  l_files.push_back(BinaryFile(0x0002, in_l_credentials.m_second_certificate_));
  l_files.push_back(KeyFile(0x0011, in_l_credentials.m_user_.m_key_, 0x001B));
  l_files.push_back(
      PinFile(0x001B, in_l_profile.m_user_password_, PinFormat::kPrintable6To16));
  std::vector<CardApplication> l_applications;
  l_applications.push_back(std::move(l_application));
  return std::make_unique<IsoCard>(kGpkiAtr, std::move(l_applications));
}

}  // namespace tavc::cardsim
