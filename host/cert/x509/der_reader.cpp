#include "host/cert/x509/der_reader.h"

namespace tavc {
namespace x509 {

namespace {

constexpr std::size_t kMaxLengthBytes = 4;

bool ParseHeader(const std::uint8_t* in_l_data, std::size_t in_l_size,
                 DerElement& out_l_element) {
  if (in_l_data == nullptr || in_l_size < 2) return false;
  const std::uint8_t l_tag = in_l_data[0];
  // Tag 0 is end-of-contents, which only indefinite lengths use; high tag
  // numbers (low five bits all set) appear in no structure we read.
  if (l_tag == 0 || (l_tag & 0x1FU) == 0x1FU) return false;
  const std::uint8_t l_first = in_l_data[1];
  std::size_t l_header = 2;
  std::size_t l_length = 0;
  if (l_first < 0x80U) {
    l_length = l_first;
  } else {
    const std::size_t l_count = l_first & 0x7FU;
    // 0x80 is the indefinite form, which DER does not allow.
    if (l_count == 0 || l_count > kMaxLengthBytes) return false;
    if (in_l_size - 2 < l_count) return false;
    std::uint32_t l_value = 0;
    for (std::size_t l_i = 0; l_i < l_count; ++l_i) {
      l_value = (l_value << 8) | in_l_data[2 + l_i];
    }
    // Non-minimal length forms are accepted: the bound below is what matters.
    l_length = l_value;
    l_header += l_count;
  }
  if (l_length > in_l_size - l_header) return false;
  out_l_element.tag = l_tag;
  out_l_element.start = in_l_data;
  out_l_element.header_size = l_header;
  out_l_element.value = in_l_data + l_header;
  out_l_element.value_size = l_length;
  return true;
}

}  // namespace

DerReader::DerReader(const std::uint8_t* in_l_data, std::size_t in_l_size)
    : m_next_(in_l_data), m_remaining_(in_l_data == nullptr ? 0 : in_l_size) {}

bool DerReader::Peek(DerElement& out_l_element) const {
  return ParseHeader(m_next_, m_remaining_, out_l_element);
}

bool DerReader::NextIs(std::uint8_t in_l_tag) const {
  DerElement l_element;
  return Peek(l_element) && l_element.tag == in_l_tag;
}

bool DerReader::Read(DerElement& out_l_element) {
  DerElement l_element;
  if (!Peek(l_element)) return false;
  m_next_ += l_element.EncodedSize();
  m_remaining_ -= l_element.EncodedSize();
  out_l_element = l_element;
  return true;
}

bool DerReader::Read(std::uint8_t in_l_tag, DerElement& out_l_element) {
  if (!NextIs(in_l_tag)) return false;
  return Read(out_l_element);
}

bool DerReader::Enter(std::uint8_t in_l_tag, DerReader& out_l_inner) {
  DerElement l_element;
  DerReader l_inner;
  if (!Peek(l_element) || l_element.tag != in_l_tag || !EnterElement(l_element, l_inner)) {
    return false;
  }
  m_next_ += l_element.EncodedSize();
  m_remaining_ -= l_element.EncodedSize();
  out_l_inner = l_inner;
  return true;
}

bool DerReader::EnterElement(const DerElement& in_l_element, DerReader& out_l_inner) const {
  if (!in_l_element.IsConstructed() || m_depth_ >= kMaxDepth) return false;
  DerReader l_inner(in_l_element.value, in_l_element.value_size);
  l_inner.m_depth_ = m_depth_ + 1;
  out_l_inner = l_inner;
  return true;
}

bool ReadSingleElement(const std::uint8_t* in_l_data, std::size_t in_l_size,
                       DerElement& out_l_element) {
  DerReader l_reader(in_l_data, in_l_size);
  DerElement l_element;
  if (!l_reader.Read(l_element) || !l_reader.AtEnd()) return false;
  out_l_element = l_element;
  return true;
}

}  // namespace x509
}  // namespace tavc
