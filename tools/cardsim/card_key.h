#pragma once
// A private key held by a virtual card. The card model only needs the raw
// PKCS#1 v1.5 signature (block type 1) over the bytes a host sends, so the RSA
// implementation behind it can differ per platform.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace tavc::cardsim {

class CardKey {
 public:
  virtual ~CardKey() = default;
  // Modulus size in bytes (256 for RSA-2048).
  virtual std::size_t ModulusSize() const = 0;
  // Pads in_l_input with type 1 padding and applies the private key.
  // 0 success, 1 failure (input too long for the modulus, library error).
  virtual int SignPkcs1(const std::vector<std::uint8_t>& in_l_input,
                        std::vector<std::uint8_t>& out_l_signature) const = 0;
};

}  // namespace tavc::cardsim
