#include "host/cert/x509/der_primitives.h"

namespace tavc {
namespace x509 {

bool OidToText(const std::uint8_t* in_l_data, std::size_t in_l_size, std::string& out_l_text) {
  if (in_l_data == nullptr || in_l_size == 0) return false;
  std::string l_text;
  std::uint64_t l_arc = 0;
  bool l_first = true;
  bool l_in_arc = false;
  for (std::size_t l_i = 0; l_i < in_l_size; ++l_i) {
    const std::uint8_t l_byte = in_l_data[l_i];
    // A leading 0x80 would pad an arc; X.690 requires the shortest form.
    if (!l_in_arc && l_byte == 0x80U) return false;
    if (l_arc > (UINT64_MAX >> 7)) return false;
    l_arc = (l_arc << 7) | (l_byte & 0x7FU);
    l_in_arc = (l_byte & 0x80U) != 0;
    if (l_in_arc) continue;
    if (l_first) {
      // The first subidentifier carries the first two arcs.
      const std::uint64_t l_top = l_arc < 40 ? 0 : (l_arc < 80 ? 1 : 2);
      l_text = std::to_string(l_top) + "." + std::to_string(l_arc - l_top * 40);
      l_first = false;
    } else {
      l_text += ".";
      l_text += std::to_string(l_arc);
    }
    l_arc = 0;
  }
  if (l_in_arc) return false;
  out_l_text = l_text;
  return true;
}

bool ReadOid(DerReader& io_l_reader, std::string& out_l_text) {
  DerElement l_element;
  if (!io_l_reader.Read(der_tag::kOid, l_element)) return false;
  return OidToText(l_element.value, l_element.value_size, out_l_text);
}

bool ReadBoolean(DerReader& io_l_reader, bool& out_l_value) {
  DerElement l_element;
  if (!io_l_reader.Read(der_tag::kBoolean, l_element) || l_element.value_size != 1) return false;
  out_l_value = l_element.value[0] != 0;
  return true;
}

bool IntegerToUnsigned(const DerElement& in_l_element, std::uint32_t& out_l_value) {
  const std::uint8_t* l_data = in_l_element.value;
  std::size_t l_size = in_l_element.value_size;
  if (l_size == 0 || (l_data[0] & 0x80U) != 0) return false;
  while (l_size > 1 && l_data[0] == 0) {
    ++l_data;
    --l_size;
  }
  if (l_size > 4) return false;
  std::uint32_t l_value = 0;
  for (std::size_t l_i = 0; l_i < l_size; ++l_i) l_value = (l_value << 8) | l_data[l_i];
  out_l_value = l_value;
  return true;
}

bool SplitBitString(const DerElement& in_l_element, unsigned& out_l_unused_bits,
                    std::vector<std::uint8_t>& out_l_bytes) {
  if (in_l_element.value_size == 0) return false;
  const unsigned l_unused = in_l_element.value[0];
  if (l_unused > 7 || (in_l_element.value_size == 1 && l_unused != 0)) return false;
  out_l_unused_bits = l_unused;
  out_l_bytes.assign(in_l_element.value + 1, in_l_element.value + in_l_element.value_size);
  return true;
}

std::vector<std::uint8_t> ValueBytes(const DerElement& in_l_element) {
  if (in_l_element.value_size == 0) return {};
  return std::vector<std::uint8_t>(in_l_element.value, in_l_element.value + in_l_element.value_size);
}

std::vector<std::uint8_t> EncodedBytes(const DerElement& in_l_element) {
  if (in_l_element.start == nullptr) return {};
  return std::vector<std::uint8_t>(in_l_element.start, in_l_element.start + in_l_element.EncodedSize());
}

}  // namespace x509
}  // namespace tavc
