#pragma once
// The My Number card: JPKI, card-surface input support and card information
// applications, with the files, PINs and keys of the real card.
#include <memory>

#include "tools/cardsim/card_credentials.h"
#include "tools/cardsim/card_profiles.h"
#include "tools/cardsim/iso_card.h"

namespace tavc::cardsim {

std::unique_ptr<IsoCard> MakeMyNumberCard(const MyNumberCardProfile& in_l_profile,
                                          const MyNumberCredentials& in_l_credentials);

}  // namespace tavc::cardsim
