#pragma once
// Commands and card answers shared by the scripted card tests.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "tests/support/scripted_scard_api.h"

namespace tavc::test {

inline const std::string kSelectJpki = "00A4040C0A D392F000260100000001";
inline const std::string kSelectCardSurface = "00A4040C0A D3921000310001010408";
inline const std::string kSelectCardInfo = "00A4040C0A D3921000310001010100";
inline const std::string kSelectGpki = "00A4040C0A D392F0004A0000000001";
inline const std::string kReadToken = "00B0860020";
inline const std::string kReadRecord = "00B2010C00";

// The 32-byte token of a card, padded with spaces.
inline std::vector<std::uint8_t> Token(const std::string& in_l_text) {
  std::vector<std::uint8_t> l_token(in_l_text.begin(), in_l_text.end());
  l_token.resize(32, 0x20);
  return l_token;
}

inline std::string AsciiHex(const std::string& in_l_text) {
  return HexOf(std::vector<std::uint8_t>(in_l_text.begin(), in_l_text.end()));
}

// A DER-looking certificate of in_l_total bytes: 30 82 LL LL and a counting body.
inline std::vector<std::uint8_t> FakeCertificate(std::size_t in_l_total) {
  std::vector<std::uint8_t> l_der(in_l_total);
  l_der[0] = 0x30;
  l_der[1] = 0x82;
  l_der[2] = static_cast<std::uint8_t>((in_l_total - 4) >> 8);
  l_der[3] = static_cast<std::uint8_t>((in_l_total - 4) & 0xFF);
  for (std::size_t l_i = 4; l_i < in_l_total; ++l_i) l_der[l_i] = static_cast<std::uint8_t>(l_i * 7);
  return l_der;
}

// Scripts the whole READ BINARY loop of a certificate file after the probe.
inline void ExpectCertificateChunks(ScriptedSCardApi& io_l_api, const std::vector<std::uint8_t>& in_l_der) {
  for (std::size_t l_offset = 0; l_offset < in_l_der.size(); l_offset += 250) {
    const std::size_t l_chunk = std::min<std::size_t>(250, in_l_der.size() - l_offset);
    const std::vector<std::uint8_t> l_command{0x00, 0xB0, static_cast<std::uint8_t>(l_offset >> 8),
                                              static_cast<std::uint8_t>(l_offset & 0xFF),
                                              static_cast<std::uint8_t>(l_chunk)};
    io_l_api.Expect(HexOf(l_command),
                    Ok(std::vector<std::uint8_t>(in_l_der.begin() + static_cast<std::ptrdiff_t>(l_offset),
                                                 in_l_der.begin() + static_cast<std::ptrdiff_t>(l_offset + l_chunk))));
  }
}

// The basic four items in the card's layout: FF 20 82 LL LL { DF 21 08 offsets,
// DF 22 name, DF 23 address, DF 24 08 birthday, DF 25 01 sex }.
inline std::vector<std::uint8_t> BasicFourItems(const std::string& in_l_name, const std::string& in_l_address,
                                                const std::string& in_l_birthday, char in_l_sex) {
  const auto l_item = [](std::uint8_t in_l_tag, const std::string& in_l_value) {
    std::vector<std::uint8_t> l_tlv{0xDF, in_l_tag};
    if (in_l_value.size() >= 0x80) {
      l_tlv.push_back(0x82);
      l_tlv.push_back(static_cast<std::uint8_t>(in_l_value.size() >> 8));
    }
    l_tlv.push_back(static_cast<std::uint8_t>(in_l_value.size() & 0xFF));
    l_tlv.insert(l_tlv.end(), in_l_value.begin(), in_l_value.end());
    return l_tlv;
  };
  const std::vector<std::uint8_t> l_name = l_item(0x22, in_l_name);
  const std::vector<std::uint8_t> l_address = l_item(0x23, in_l_address);
  const std::vector<std::uint8_t> l_birthday = l_item(0x24, in_l_birthday);
  const std::vector<std::uint8_t> l_sex = l_item(0x25, std::string(1, in_l_sex));
  const std::size_t l_header = 5;
  const std::size_t l_name_at = l_header + 11;
  const std::size_t l_address_at = l_name_at + l_name.size();
  const std::size_t l_birthday_at = l_address_at + l_address.size();
  const std::size_t l_sex_at = l_birthday_at + l_birthday.size();
  const std::size_t l_value_size = l_sex_at + l_sex.size() - l_header;
  std::vector<std::uint8_t> l_structure{0xFF, 0x20, 0x82, static_cast<std::uint8_t>(l_value_size >> 8),
                                        static_cast<std::uint8_t>(l_value_size & 0xFF), 0xDF, 0x21, 0x08};
  for (const std::size_t l_at : {l_name_at, l_address_at, l_birthday_at, l_sex_at}) {
    l_structure.push_back(static_cast<std::uint8_t>(l_at >> 8));
    l_structure.push_back(static_cast<std::uint8_t>(l_at & 0xFF));
  }
  for (const auto* l_part : {&l_name, &l_address, &l_birthday, &l_sex}) {
    l_structure.insert(l_structure.end(), l_part->begin(), l_part->end());
  }
  return l_structure;
}

// Scripts the reads of the basic four items: the first asks for 250 bytes, the
// next ones for what remains, 250 at most.
inline void ExpectBasicFourItemsReads(ScriptedSCardApi& io_l_api, const std::vector<std::uint8_t>& in_l_structure) {
  io_l_api.Expect("00B08200FA", Ok(std::vector<std::uint8_t>(
                                    in_l_structure.begin(),
                                    in_l_structure.begin() + static_cast<std::ptrdiff_t>(
                                                                 std::min<std::size_t>(250, in_l_structure.size())))));
  for (std::size_t l_offset = 250; l_offset < in_l_structure.size(); l_offset += 250) {
    const std::size_t l_chunk = std::min<std::size_t>(250, in_l_structure.size() - l_offset);
    const std::vector<std::uint8_t> l_command{0x00, 0xB0, static_cast<std::uint8_t>(l_offset >> 8),
                                              static_cast<std::uint8_t>(l_offset & 0xFF),
                                              static_cast<std::uint8_t>(l_chunk)};
    io_l_api.Expect(HexOf(l_command), Ok(std::vector<std::uint8_t>(
                                          in_l_structure.begin() + static_cast<std::ptrdiff_t>(l_offset),
                                          in_l_structure.begin() + static_cast<std::ptrdiff_t>(l_offset + l_chunk))));
  }
}

// A DigestInfo of SHA-256 (the prefix) with a digest that counts from in_l_seed.
inline std::string DigestInfoHex(std::uint8_t in_l_seed) {
  std::vector<std::uint8_t> l_bytes = Bytes("3031300D060960864801650304020105000420");
  for (std::uint8_t l_i = 0; l_i < 32; ++l_i) l_bytes.push_back(static_cast<std::uint8_t>(in_l_seed + l_i));
  return HexOf(l_bytes);
}

inline std::wstring Wide(const std::string& in_l_text) { return std::wstring(in_l_text.begin(), in_l_text.end()); }

// 256 signature bytes.
inline std::vector<std::uint8_t> FakeSignature(std::uint8_t in_l_seed) {
  std::vector<std::uint8_t> l_signature(256);
  for (std::size_t l_i = 0; l_i < l_signature.size(); ++l_i) {
    l_signature[l_i] = static_cast<std::uint8_t>(in_l_seed + l_i);
  }
  return l_signature;
}

}  // namespace tavc::test
