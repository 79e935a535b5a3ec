#include "host/state/request_modes.h"

namespace tavc {
namespace {

struct ModeText {
  const wchar_t* text;
  RequestMode mode;
};

constexpr ModeText kModeTexts[] = {
    {L"01", RequestMode::kLogin},
    {L"02", RequestMode::kSign},
    {L"03", RequestMode::kMyNumberInfo},
    {L"04", RequestMode::kPersonalInfo},
    {L"05", RequestMode::kCancel},
    {L"06", RequestMode::kPasswordChange},
    {L"07", RequestMode::kSignWithConfirm},
    {L"11", RequestMode::kGpkiSign},
    {L"12", RequestMode::kGpkiSignWithConfirm},
    {L"13", RequestMode::kGpkiPasswordChange},
};

}  // namespace

RequestMode ParseRequestMode(const std::wstring& in_l_text) {
  for (const ModeText& l_entry : kModeTexts) {
    if (in_l_text == l_entry.text) return l_entry.mode;
  }
  return RequestMode::kUnknown;
}

bool IsKnownMode(RequestMode in_l_mode) {
  switch (in_l_mode) {
    case RequestMode::kUnknown:
    case RequestMode::kCancel: return false;
    case RequestMode::kLogin:
    case RequestMode::kSign:
    case RequestMode::kMyNumberInfo:
    case RequestMode::kPersonalInfo:
    case RequestMode::kPasswordChange:
    case RequestMode::kSignWithConfirm:
    case RequestMode::kGpkiSign:
    case RequestMode::kGpkiSignWithConfirm:
    case RequestMode::kGpkiPasswordChange: return true;
  }
  return false;
}

bool IsSigningMode(RequestMode in_l_mode) {
  switch (in_l_mode) {
    case RequestMode::kLogin:
    case RequestMode::kSign:
    case RequestMode::kSignWithConfirm:
    case RequestMode::kGpkiSign:
    case RequestMode::kGpkiSignWithConfirm: return true;
    case RequestMode::kUnknown:
    case RequestMode::kMyNumberInfo:
    case RequestMode::kPersonalInfo:
    case RequestMode::kCancel:
    case RequestMode::kPasswordChange:
    case RequestMode::kGpkiPasswordChange: return false;
  }
  return false;
}

bool IsCertificateChoiceMode(RequestMode in_l_mode) {
  return in_l_mode == RequestMode::kSign || in_l_mode == RequestMode::kSignWithConfirm;
}

bool IsGpkiMode(RequestMode in_l_mode) {
  return in_l_mode == RequestMode::kGpkiSign || in_l_mode == RequestMode::kGpkiSignWithConfirm ||
         in_l_mode == RequestMode::kGpkiPasswordChange;
}

std::wstring DigestErrorCode(RequestMode in_l_mode) {
  if (in_l_mode == RequestMode::kLogin) return L"EW142-1200";
  if (in_l_mode == RequestMode::kGpkiSign || in_l_mode == RequestMode::kGpkiSignWithConfirm) return L"EWC42-1200";
  return L"EW242-1200";
}

}  // namespace tavc
