#include "host/flow/start_up_codes.h"

namespace tavc {

std::wstring StartUpCodeStart(RequestMode in_l_mode) {
  switch (in_l_mode) {
    case RequestMode::kLogin: return L"EW1";
    case RequestMode::kSign:
    case RequestMode::kSignWithConfirm: return L"EW2";
    case RequestMode::kMyNumberInfo:
    case RequestMode::kPersonalInfo: return L"EW3";
    case RequestMode::kPasswordChange: return L"EW6";
    case RequestMode::kGpkiSign:
    case RequestMode::kGpkiSignWithConfirm: return L"EWC";
    case RequestMode::kGpkiPasswordChange: return L"EWD";
    case RequestMode::kUnknown:
    case RequestMode::kCancel: return L"";
  }
  return L"";
}

}  // namespace tavc
