#pragma once
// Builds the card a reader of the daemon holds: generated credentials, with
// the slots given on the command line read from files instead.
#include <memory>
#include <string>

#include "tools/cardsim/daemon/daemon_options.h"
#include "tools/cardsim/iso_card.h"

namespace tavc::cardsim {

// 0 success (out_l_card null for an empty reader); 1 with a message. When
// in_l_export_prefix is not empty the card's certificates are written to
// <prefix><slot>.der.
int BuildReaderCard(const ReaderSetup& in_l_setup, const std::string& in_l_export_prefix,
                    std::unique_ptr<IsoCard>& out_l_card, std::string& out_l_error);

}  // namespace tavc::cardsim
