#pragma once
// The screens of the Win32 frame: each kind as its dialog.
#include <windows.h>

#include "host/flow/screen_factory.h"

namespace tavc {

class DialogScreenFactory final : public ScreenFactory {
 public:
  explicit DialogScreenFactory(HINSTANCE in_l_instance) : m_instance_(in_l_instance) {}
  std::unique_ptr<Screen> CreateScreen(const ScreenRequest& in_l_request) override;

 private:
  HINSTANCE m_instance_;
};

}  // namespace tavc
