#include "host/screens/placeholder_action.h"

#include "common/secure_wipe.h"
#include "host/core/message_poster.h"

namespace tavc {
namespace {

PlaceholderOutcome Post(std::uint32_t in_l_message, std::uintptr_t in_l_wparam = 0) {
  return PlaceholderOutcome{PlaceholderStep::kPost, in_l_message, in_l_wparam, ScreenKind::kError};
}

PlaceholderOutcome Open(ScreenKind in_l_next) {
  return PlaceholderOutcome{PlaceholderStep::kOpenScreen, 0, 0, in_l_next};
}

PlaceholderOutcome EndAlert() { return PlaceholderOutcome{PlaceholderStep::kEndAlert, 0, 0, ScreenKind::kError}; }

// The request goes through CryptoAPI when a certificate type or file was named.
bool HasCertificateChoice(const DataStore& in_l_data_store) {
  return !in_l_data_store.GetCertificateType().empty() || !in_l_data_store.GetFilePath().empty();
}

// Codes of a version that may no longer be used: the notice offers no Skip.
bool IsMustUpdate(const std::wstring& in_l_code) {
  for (const wchar_t* l_code : {L"EW144-0431", L"EW244-0431", L"EW344-0431", L"EW644-0431", L"EW044-1230"}) {
    if (in_l_code == l_code) return true;
  }
  return false;
}

// The selection's three choices; anything else chooses nothing.
int PasswordTypeOf(const std::wstring& in_l_text) {
  if (in_l_text == L"1") return 1;
  if (in_l_text == L"2") return 2;
  if (in_l_text == L"3") return 3;
  return 0;
}

}  // namespace

PlaceholderInput::~PlaceholderInput() {
  SecureWipe(first);
  SecureWipe(second);
}

const wchar_t* ScreenClassName(ScreenKind in_l_kind) {
  switch (in_l_kind) {
    case ScreenKind::kProcessing: return L"ProcessingScreen";
    case ScreenKind::kCardRequest: return L"CardRequestScreen";
    case ScreenKind::kPasswordEntry: return L"PasswordSetScreen";
    case ScreenKind::kPasswordSelect: return L"PasswordSelectScreen";
    case ScreenKind::kPasswordChange: return L"PasswordChangeScreen";
    case ScreenKind::kPasswordChangeResult: return L"PasswordChangeResultScreen";
    case ScreenKind::kCertificateConfirm: return L"CertificateConfirmScreen";
    case ScreenKind::kCertificateConfirmGpkiAp: return L"CertificateConfirmScreenGpkiAp";
    case ScreenKind::kVersionInfo: return L"VersionInfoScreen";
    case ScreenKind::kError: return L"ErrorScreen";
  }
  return L"";
}

int PlaceholderFieldCount(ScreenKind in_l_kind) {
  switch (in_l_kind) {
    case ScreenKind::kPasswordSelect: return 1;
    case ScreenKind::kPasswordChange: return 2;
    default: return 0;
  }
}

void PlaceholderOnOpen(const ScreenRequest& in_l_request) {
  if (in_l_request.kind != ScreenKind::kPasswordChangeResult || in_l_request.data_store == nullptr) return;
  DataStore& l_store = *in_l_request.data_store;
  l_store.SetPasswordType(0);
  l_store.SetPassword(L"");
  l_store.SetNewPassword(L"");
}

PlaceholderOutcome PlaceholderOnOk(const ScreenRequest& in_l_request, const PlaceholderInput& in_l_input) {
  if (in_l_request.data_store == nullptr || in_l_request.error_info == nullptr) return PlaceholderOutcome{};
  DataStore& l_store = *in_l_request.data_store;
  switch (in_l_request.kind) {
    case ScreenKind::kPasswordSelect: {
      const int l_type = PasswordTypeOf(in_l_input.first);
      if (l_type == 0) return PlaceholderOutcome{};
      in_l_request.error_info->SetError(L"", L"", L"", L"");
      l_store.SetPasswordType(l_type);
      return Open(ScreenKind::kPasswordChange);
    }
    case ScreenKind::kPasswordChange:
      l_store.SetPassword(in_l_input.first);
      l_store.SetNewPassword(in_l_input.second);
      return Post(WM_APP03);
    case ScreenKind::kPasswordChangeResult: return l_store.GetMode() == L"13" ? Post(WM_APP05, 0) : Post(WM_APP01);
    case ScreenKind::kCertificateConfirm: return Post(HasCertificateChoice(l_store) ? WM_APP07 : WM_APP03);
    case ScreenKind::kCertificateConfirmGpkiAp: return Post(WM_APP03);
    case ScreenKind::kVersionInfo:
      if (IsMustUpdate(in_l_request.error_info->GetCode())) return PlaceholderOutcome{};
      return Post(HasCertificateChoice(l_store) ? WM_APP07 : WM_APP01);
    default: return PlaceholderOutcome{};
  }
}

PlaceholderOutcome PlaceholderOnClose(const ScreenRequest& in_l_request) {
  if (in_l_request.data_store == nullptr || in_l_request.error_info == nullptr) return PlaceholderOutcome{};
  switch (in_l_request.kind) {
    case ScreenKind::kVersionInfo: return Post(WM_APP04);
    case ScreenKind::kPasswordChange:
      // The card's password change goes back to the selection; the GPKI one asks to end.
      return in_l_request.data_store->GetMode() == L"13" ? EndAlert() : Open(ScreenKind::kPasswordSelect);
    default: return EndAlert();
  }
}

}  // namespace tavc
