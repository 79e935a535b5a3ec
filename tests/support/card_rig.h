#pragma once
// Readers with virtual cards behind an SCardApi: in process, or behind a real
// pcscd. The end-to-end card scenarios run on either.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/scard_api.h"

namespace tavc::test {

enum class CardKind { kEmpty, kMyNumber, kGpki };

struct ReaderSetup {
  CardKind kind = CardKind::kEmpty;
  // Tries left of the user-authentication PIN (My Number card).
  unsigned auth_pin_tries = 3;
  // The card leaves the reader when its Nth command since insertion is due (0 never).
  std::size_t remove_at_command = 0;
};

class CardRig {
 public:
  virtual ~CardRig() = default;
  // Fresh cards in fresh readers, in this order; an empty list means no reader.
  // False with a reason when the readers cannot be set up.
  virtual bool Start(const std::vector<ReaderSetup>& in_l_readers, std::string* out_l_error) = 0;
  virtual platform::SCardApi& Api() = 0;
  // The DER certificate a card carries: "auth" and "sign" (My Number card), "user" (GPKI card).
  virtual std::vector<std::uint8_t> Certificate(std::size_t in_l_reader, const std::string& in_l_slot) = 0;
};

}  // namespace tavc::test
