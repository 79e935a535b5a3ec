#pragma once
// The portable face of one screen. The frame owns the current screen; on
// Windows a screen is a modeless dialog, in tests a headless stand-in that a
// script drives by posting what the real screen would post.
namespace tavc {

class Screen {
 public:
  virtual ~Screen() = default;
  // Creates the screen's window as a child of the frame; false on failure.
  virtual bool Create() = 0;
  // Shows it and gives it the focus.
  virtual void Show() = 0;
  virtual bool IsWindow() const = 0;
  virtual void DestroyWindow() = 0;
  // The frame's own close, forwarded (the screen decides: end alert, back, ...).
  virtual void OnClose() = 0;
};

}  // namespace tavc
