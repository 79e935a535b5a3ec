#include "host/screens/win32/placeholder_screen_factory.h"

#include "host/screens/win32/placeholder_screen.h"
#include "host/screens/win32/ui_language.h"

namespace tavc {

std::unique_ptr<Screen> PlaceholderScreenFactory::CreateScreen(const ScreenRequest& in_l_request) {
  if (in_l_request.error_info == nullptr || in_l_request.data_store == nullptr) return nullptr;
  // Screens load their resources in Japanese.
  PreferUiLanguage(L"ja-JP");
  return std::make_unique<PlaceholderScreen>(m_instance_, *this, in_l_request);
}

}  // namespace tavc
