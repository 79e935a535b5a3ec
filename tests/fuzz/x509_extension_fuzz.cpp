// One extension value alone (an alternative-name list first of all), given to
// every extension decoder.
#include <cstddef>
#include <cstdint>

#include "tests/fuzz/x509_extension_decoders.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* in_l_data, std::size_t in_l_size) {
  tavc::x509::fuzz::DecodeEveryExtensionValue(in_l_data, in_l_size);
  return 0;
}
