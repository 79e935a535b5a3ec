#include "tools/cardsim/tests/shared_cards.h"

#include <cstdlib>

#include "tools/cardsim/credential_factory.h"

namespace tavc::cardsim::test {

const MyNumberCredentials& SharedMyNumberCredentials() {
  static const MyNumberCredentials l_credentials = [] {
    MyNumberCredentials l_made;
    if (MakeMyNumberCredentials(MyNumberCardProfile{}, l_made) != 0) std::abort();
    return l_made;
  }();
  return l_credentials;
}

const GpkiCredentials& SharedGpkiCredentials() {
  static const GpkiCredentials l_credentials = [] {
    GpkiCredentials l_made;
    if (MakeGpkiCredentials(GpkiCardProfile{}, l_made) != 0) std::abort();
    return l_made;
  }();
  return l_credentials;
}

}  // namespace tavc::cardsim::test
