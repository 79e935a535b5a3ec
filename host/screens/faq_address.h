#pragma once
// Which messages come with the address of the service's FAQ pages, as the
// string ID of the address (0: none).
#include <cstdint>

namespace tavc {

// Card request screen: the reader and card messages the user can cure.
std::uint32_t CardRequestFaqAddress(std::uint32_t in_l_message_id);
// Error screen: the general FAQ page or the article on card reading.
std::uint32_t ErrorScreenFaqAddress(std::uint32_t in_l_message_id);

}  // namespace tavc
