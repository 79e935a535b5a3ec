#pragma once
// Bounded reader of DER tag-length-value elements. Certificates come from cards
// and files, so every header is checked against the bytes that hold it: a value
// never runs past its buffer, lengths are definite and take at most 4 bytes, and
// nesting is bounded. The reader only points into the caller's buffer.
#include <cstddef>
#include <cstdint>

namespace tavc {
namespace x509 {

// One element: its identifier byte and where its header and value lie.
struct DerElement {
  std::uint8_t tag = 0;
  const std::uint8_t* start = nullptr;  // first byte of the header
  std::size_t header_size = 0;
  const std::uint8_t* value = nullptr;  // first byte of the value
  std::size_t value_size = 0;

  // Header and value together, as it was encoded.
  std::size_t EncodedSize() const { return header_size + value_size; }
  bool IsConstructed() const { return (tag & 0x20U) != 0; }
};

class DerReader {
 public:
  // Deepest nesting any decoder may enter. Certificates need about ten levels;
  // the limit stops hostile input from driving a decoder deep.
  static constexpr unsigned kMaxDepth = 32;

  DerReader() = default;
  DerReader(const std::uint8_t* in_l_data, std::size_t in_l_size);

  bool AtEnd() const { return m_remaining_ == 0; }
  unsigned Depth() const { return m_depth_; }

  // Reads the header of the next element without moving on; false at the end or
  // when the header is malformed.
  bool Peek(DerElement& out_l_element) const;
  // True when the next element is well formed and carries this identifier byte.
  bool NextIs(std::uint8_t in_l_tag) const;

  // Reads the next element and moves past it.
  bool Read(DerElement& out_l_element);
  // The same, but fails without moving when the identifier byte differs.
  bool Read(std::uint8_t in_l_tag, DerElement& out_l_element);
  // Reads a constructed element with this identifier byte and gives a reader
  // over its value, one level deeper.
  bool Enter(std::uint8_t in_l_tag, DerReader& out_l_inner);
  // A reader over the value of an element already read from this reader.
  bool EnterElement(const DerElement& in_l_element, DerReader& out_l_inner) const;

 private:
  const std::uint8_t* m_next_ = nullptr;
  std::size_t m_remaining_ = 0;
  unsigned m_depth_ = 0;
};

// Reads exactly one element that fills the whole buffer (no trailing bytes).
bool ReadSingleElement(const std::uint8_t* in_l_data, std::size_t in_l_size,
                       DerElement& out_l_element);

}  // namespace x509
}  // namespace tavc
