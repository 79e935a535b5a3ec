#include "platform/own_version.h"

namespace tavc::platform {

bool ReadOwnProductVersion(std::wstring& out_l_version) {
  const char* l_text = TAV_PRODUCT_VERSION;
  out_l_version.assign(l_text, l_text + std::char_traits<char>::length(l_text));
  return true;
}

}  // namespace tavc::platform
