#include "host/screens/faq_address.h"

namespace tavc {
namespace {

constexpr std::uint32_t kFaqTop = 3311;
constexpr std::uint32_t kFaqCardArticle = 3312;

}  // namespace

std::uint32_t CardRequestFaqAddress(std::uint32_t in_l_message_id) {
  return in_l_message_id == 2004 || in_l_message_id == 2063 || in_l_message_id == 2064 ? kFaqCardArticle : 0;
}

std::uint32_t ErrorScreenFaqAddress(std::uint32_t in_l_message_id) {
  switch (in_l_message_id) {
    case 2016: case 2022: case 2027: case 2057: case 2058: case 2059: case 2060: return kFaqTop;
    // 2004 sends the user to the address below; in the GPKI modes it ends the
    // request here rather than on the card request screen.
    case 2004: case 2020: case 2021: return kFaqCardArticle;
    default: return 0;
  }
}

}  // namespace tavc
