#pragma once
// Cards built once per test program: credentials take a while to generate.
#include <memory>

#include "tools/cardsim/card_credentials.h"
#include "tools/cardsim/card_profiles.h"

namespace tavc::cardsim::test {

const MyNumberCredentials& SharedMyNumberCredentials();
const GpkiCredentials& SharedGpkiCredentials();

}  // namespace tavc::cardsim::test
