#pragma once
// Builds DER by hand for the decoder tests, so that each test can make exactly
// the encoding it needs, malformed ones included.
#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace tavc {
namespace x509 {
namespace test {

using Bytes = std::vector<std::uint8_t>;

inline Bytes Cat(std::initializer_list<Bytes> in_l_parts) {
  Bytes l_out;
  for (const Bytes& l_part : in_l_parts) l_out.insert(l_out.end(), l_part.begin(), l_part.end());
  return l_out;
}

inline Bytes Tlv(std::uint8_t in_l_tag, const Bytes& in_l_content) {
  Bytes l_out{in_l_tag};
  const std::size_t l_size = in_l_content.size();
  if (l_size < 0x80) {
    l_out.push_back(static_cast<std::uint8_t>(l_size));
  } else {
    Bytes l_length;
    for (std::size_t l_rest = l_size; l_rest != 0; l_rest >>= 8) {
      l_length.insert(l_length.begin(), static_cast<std::uint8_t>(l_rest & 0xFF));
    }
    l_out.push_back(static_cast<std::uint8_t>(0x80 | l_length.size()));
    l_out.insert(l_out.end(), l_length.begin(), l_length.end());
  }
  l_out.insert(l_out.end(), in_l_content.begin(), in_l_content.end());
  return l_out;
}

inline Bytes Seq(std::initializer_list<Bytes> in_l_parts) { return Tlv(0x30, Cat(in_l_parts)); }
inline Bytes Set(std::initializer_list<Bytes> in_l_parts) { return Tlv(0x31, Cat(in_l_parts)); }
inline Bytes Text(std::uint8_t in_l_tag, const std::string& in_l_bytes) {
  return Tlv(in_l_tag, Bytes(in_l_bytes.begin(), in_l_bytes.end()));
}

inline Bytes Oid(const std::string& in_l_dotted) {
  std::vector<std::uint64_t> l_arcs;
  std::uint64_t l_arc = 0;
  for (char l_char : in_l_dotted + ".") {
    if (l_char == '.') {
      l_arcs.push_back(l_arc);
      l_arc = 0;
    } else {
      l_arc = l_arc * 10 + static_cast<std::uint64_t>(l_char - '0');
    }
  }
  Bytes l_content;
  l_arcs[1] += l_arcs[0] * 40;
  for (std::size_t l_i = 1; l_i < l_arcs.size(); ++l_i) {
    Bytes l_piece{static_cast<std::uint8_t>(l_arcs[l_i] & 0x7F)};
    for (std::uint64_t l_rest = l_arcs[l_i] >> 7; l_rest != 0; l_rest >>= 7) {
      l_piece.insert(l_piece.begin(), static_cast<std::uint8_t>(0x80 | (l_rest & 0x7F)));
    }
    l_content.insert(l_content.end(), l_piece.begin(), l_piece.end());
  }
  return Tlv(0x06, l_content);
}

// One attribute as a single-valued RDN.
inline Bytes Attr(const std::string& in_l_oid, const Bytes& in_l_value) {
  return Seq({Oid(in_l_oid), in_l_value});
}
inline Bytes Rdn(const std::string& in_l_oid, const Bytes& in_l_value) {
  return Set({Attr(in_l_oid, in_l_value)});
}
inline Bytes Printable(const std::string& in_l_text) { return Text(0x13, in_l_text); }
inline Bytes Utf8(const std::string& in_l_text) { return Text(0x0C, in_l_text); }

inline Bytes UtcTime(const std::string& in_l_text) { return Text(0x17, in_l_text); }
inline Bytes GeneralizedTime(const std::string& in_l_text) { return Text(0x18, in_l_text); }

inline Bytes Extension(const std::string& in_l_oid, bool in_l_critical, const Bytes& in_l_value) {
  if (!in_l_critical) return Seq({Oid(in_l_oid), Tlv(0x04, in_l_value)});
  return Seq({Oid(in_l_oid), Tlv(0x01, {0xFF}), Tlv(0x04, in_l_value)});
}

// An RSA key whose modulus is in_l_modulus_bytes long, first byte 0xC5 (so the
// top bit is set and DER needs a 0x00 sign byte in front).
inline Bytes RsaKeyInfo(std::size_t in_l_modulus_bytes, bool in_l_with_sign_byte) {
  Bytes l_modulus(in_l_modulus_bytes, 0x5A);
  l_modulus[0] = 0xC5;
  if (in_l_with_sign_byte) l_modulus.insert(l_modulus.begin(), 0x00);
  const Bytes l_key = Seq({Tlv(0x02, l_modulus), Tlv(0x02, {0x01, 0x00, 0x01})});
  Bytes l_bits(l_key.size() + 1, 0x00);  // unused-bits byte, then the key
  std::copy(l_key.begin(), l_key.end(), l_bits.begin() + 1);
  return Seq({Seq({Oid("1.2.840.113549.1.1.1"), Tlv(0x05, {})}), Tlv(0x03, l_bits)});
}

// The parts of a certificate, each already encoded; Build() assembles them.
struct CertificateParts {
  Bytes version = Tlv(0xA0, Tlv(0x02, {0x02}));  // empty for a v1 certificate
  Bytes serial = Tlv(0x02, {0x01, 0xA2});
  Bytes algorithm = Seq({Oid("1.2.840.113549.1.1.11"), Tlv(0x05, {})});
  Bytes issuer = Seq({Rdn("2.5.4.6", Printable("JP")), Rdn("2.5.4.10", Printable("Issuer"))});
  Bytes validity = Seq({UtcTime("240301090507Z"), GeneralizedTime("20500101000000Z")});
  Bytes subject = Seq({Rdn("2.5.4.3", Printable("Subject"))});
  Bytes key = RsaKeyInfo(256, true);
  std::vector<Bytes> extensions;  // each from Extension(); none gives no [3]

  Bytes Tbs() const {
    Bytes l_tbs = Cat({version, serial, algorithm, issuer, validity, subject, key});
    if (!extensions.empty()) {
      Bytes l_list;
      for (const Bytes& l_extension : extensions) {
        l_list.insert(l_list.end(), l_extension.begin(), l_extension.end());
      }
      l_tbs = Cat({l_tbs, Tlv(0xA3, Tlv(0x30, l_list))});
    }
    return Tlv(0x30, l_tbs);
  }
  Bytes Build() const { return Seq({Tbs(), algorithm, Tlv(0x03, {0x00, 0x12, 0x34})}); }
};

}  // namespace test
}  // namespace x509
}  // namespace tavc
