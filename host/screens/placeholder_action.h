#pragma once
// What a stand-in screen does when the user presses OK or closes it: it posts
// what the finished screen will post, and stores what that screen stores. The
// decisions live here, apart from any window, so that they are tested natively;
// the Win32 stand-in only carries them out.
#include <cstdint>
#include <string>

#include "host/card/error_info.h"
#include "host/core/data_store.h"
#include "host/core/screen_factory.h"

namespace tavc {

enum class PlaceholderStep {
  kNothing,     // the button has no effect on this screen (or the input is refused)
  kPost,        // post `message` with `wparam` to the frame
  kEndAlert,    // ask the user with the end confirmation
  kOpenScreen,  // open `next`, as the password screens open each other
};

struct PlaceholderOutcome {
  PlaceholderStep step = PlaceholderStep::kNothing;
  std::uint32_t message = 0;
  std::uintptr_t wparam = 0;
  ScreenKind next = ScreenKind::kError;
};

// What the user typed into the stand-in's two fields: the password type
// (selection), or current and new password (change).
struct PlaceholderInput {
  PlaceholderInput() = default;
  PlaceholderInput(const PlaceholderInput&) = delete;
  PlaceholderInput& operator=(const PlaceholderInput&) = delete;
  ~PlaceholderInput();

  std::wstring first;
  std::wstring second;
};

// The class name of the screen the stand-in replaces ("ErrorScreen", ...).
const wchar_t* ScreenClassName(ScreenKind in_l_kind);
// How many of the two fields the screen uses (0, 1 or 2).
int PlaceholderFieldCount(ScreenKind in_l_kind);

// As the screen opens: the password change result forgets the passwords.
void PlaceholderOnOpen(const ScreenRequest& in_l_request);
// OK: stores the input where the screen would and says what follows.
PlaceholderOutcome PlaceholderOnOk(const ScreenRequest& in_l_request, const PlaceholderInput& in_l_input);
// Cancel, Escape or the frame's close.
PlaceholderOutcome PlaceholderOnClose(const ScreenRequest& in_l_request);

}  // namespace tavc
