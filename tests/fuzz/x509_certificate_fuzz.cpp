// Whole certificates: decode, then decode every extension value with every
// decoder and render every name.
#include <cstddef>
#include <cstdint>

#include "host/cert/x509/parsed_certificate.h"
#include "tests/fuzz/x509_extension_decoders.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* in_l_data, std::size_t in_l_size) {
  using namespace tavc::x509;
  ParsedCertificate l_cert;
  if (!DecodeCertificate(in_l_data, in_l_size, l_cert)) return 0;
  fuzz::RenderBoth(l_cert.issuer);
  fuzz::RenderBoth(l_cert.subject);
  for (const Extension& l_extension : l_cert.extensions) {
    fuzz::DecodeEveryExtensionValue(l_extension.value.data(), l_extension.value.size());
  }
  return 0;
}
