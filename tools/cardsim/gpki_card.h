#pragma once
// The GPKI card: one application with its token, user password, two certificate
// files and the signing key in EF 0011.
#include <memory>

#include "tools/cardsim/card_credentials.h"
#include "tools/cardsim/card_profiles.h"
#include "tools/cardsim/iso_card.h"

namespace tavc::cardsim {

std::unique_ptr<IsoCard> MakeGpkiCard(const GpkiCardProfile& in_l_profile,
                                      const GpkiCredentials& in_l_credentials);

}  // namespace tavc::cardsim
