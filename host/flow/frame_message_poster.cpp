#include "host/flow/frame_message_poster.h"

#include <windows.h>

namespace tavc {

bool FrameMessagePoster::Post(std::uint32_t in_l_message, std::uintptr_t in_l_wparam, std::intptr_t in_l_lparam) {
  const HWND l_frame = static_cast<HWND>(m_data_store_.GetScreenHandle());
  return l_frame != nullptr &&
         PostMessageW(l_frame, in_l_message, static_cast<WPARAM>(in_l_wparam), static_cast<LPARAM>(in_l_lparam)) !=
             FALSE;
}

}  // namespace tavc
