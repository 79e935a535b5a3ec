#include "wrapper/receive_data.h"

#include <algorithm>

#include "common/secure_wipe.h"
#include "common/utf_conversion.h"

void ReceiveData::SetData(const std::uint8_t* in_data, std::size_t in_size) {
  const std::uint8_t* l_end = std::find(in_data, in_data + in_size, std::uint8_t{0});
  m_dataBody = tavc::Utf8ToUtf16(in_data, static_cast<std::size_t>(l_end - in_data));
}

void ReceiveData::Clear() {
  tavc::SecureWipe(m_dataBody);
  m_dataSize = 0;
}
