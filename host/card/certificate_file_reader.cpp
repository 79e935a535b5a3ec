#include "host/card/certificate_file_reader.h"

#include <algorithm>
#include <array>
#include <vector>

#include "common/hex_codec.h"
#include "host/card/card_result.h"

namespace tavc {
namespace {

constexpr std::size_t kHeaderSize = 4;
constexpr std::size_t kChunkSize = 250;

}  // namespace

int ReadCertificateFile(PcscConnection& io_l_connection, std::uint8_t in_l_sfi, std::wstring* out_l_hex,
                        CardErrorInfo* in_l_card_error_info) {
  if (out_l_hex == nullptr || in_l_card_error_info == nullptr || in_l_sfi == 0 || in_l_sfi > 0x1F) return kCardInvalid;
  out_l_hex->clear();
  const std::array<std::uint8_t, 5> l_probe{0x00, 0xB0, static_cast<std::uint8_t>(0x80 | in_l_sfi), 0x00,
                                            static_cast<std::uint8_t>(kHeaderSize)};
  int l_ret = io_l_connection.SendCommand(l_probe.data(), l_probe.size(), in_l_card_error_info, kHeaderSize + 2);
  if (l_ret != kCardOk) return l_ret;
  const std::uint8_t* l_data = io_l_connection.ResponseData();
  if (io_l_connection.ResponseDataLength() != kHeaderSize || l_data[0] != 0x30 || l_data[1] != 0x82) {
    return io_l_connection.RefuseResponse(in_l_card_error_info);
  }
  const std::size_t l_total = static_cast<std::size_t>(l_data[2]) * 256U + l_data[3] + kHeaderSize;
  if (l_total == kHeaderSize || l_total > kMaxCertificateSize) return io_l_connection.RefuseResponse(in_l_card_error_info);

  std::vector<std::uint8_t> l_certificate(l_total, 0);
  std::size_t l_offset = 0;
  while (l_offset < l_total) {
    const std::size_t l_chunk = std::min(l_total - l_offset, kChunkSize);
    const std::array<std::uint8_t, 5> l_read{0x00, 0xB0, static_cast<std::uint8_t>(l_offset >> 8),
                                             static_cast<std::uint8_t>(l_offset & 0xFF),
                                             static_cast<std::uint8_t>(l_chunk)};
    l_ret = io_l_connection.SendCommand(l_read.data(), l_read.size(), in_l_card_error_info,
                                        static_cast<std::uint32_t>(l_chunk + 2));
    if (l_ret != kCardOk) return l_ret;
    if (io_l_connection.ResponseDataLength() != l_chunk) return io_l_connection.RefuseResponse(in_l_card_error_info);
    std::copy_n(io_l_connection.ResponseData(), l_chunk, l_certificate.begin() + static_cast<std::ptrdiff_t>(l_offset));
    l_offset += l_chunk;
  }
  *out_l_hex = BytesToHex(l_certificate.data(), l_certificate.size(), HexCase::kLower);
  return kCardOk;
}

}  // namespace tavc
