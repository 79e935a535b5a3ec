#pragma once
// The screens of the Win32 frame until each has its own dialog: every kind is
// a PlaceholderScreen.
#include <windows.h>

#include "host/core/screen_factory.h"

namespace tavc {

class PlaceholderScreenFactory final : public ScreenFactory {
 public:
  explicit PlaceholderScreenFactory(HINSTANCE in_l_instance) : m_instance_(in_l_instance) {}
  std::unique_ptr<Screen> CreateScreen(const ScreenRequest& in_l_request) override;

 private:
  HINSTANCE m_instance_;
};

}  // namespace tavc
