#pragma once
// The application messages of TAV and the one way to hand them to the frame
// window. Screens, card workers and the interrupt watcher never call the event
// controller; they post one of these and the frame's dispatcher takes it.
#include <cstdint>

namespace tavc {

// Start the card session (or the password-change screens).
constexpr std::uint32_t WM_APP01 = 0x8001;
// Result of a card-establishing worker in wParam.
constexpr std::uint32_t WM_APP02 = 0x8002;
// Run the card operation.
constexpr std::uint32_t WM_APP03 = 0x8003;
// End the run; wParam 2 when the interrupt error screen closes.
constexpr std::uint32_t WM_APP04 = 0x8004;
// Result of a card operation worker in wParam.
constexpr std::uint32_t WM_APP05 = 0x8005;
// The interrupt watcher recorded an interrupt.
constexpr std::uint32_t WM_APP06 = 0x8006;
// Sign through CryptoAPI/CNG.
constexpr std::uint32_t WM_APP07 = 0x8007;
// Result of the CryptoAPI signing worker in wParam.
constexpr std::uint32_t WM_APP08 = 0x8008;
// The last card worker has left while the end step waited for it.
constexpr std::uint32_t WM_APP09 = 0x8009;
// Show the screen object in lParam; wParam 2 when it shows an interrupt.
constexpr std::uint32_t WM_TVNNOTIFY = 0x8100;

class MessagePoster {
 public:
  virtual ~MessagePoster() = default;
  // Queues the message for the frame's thread and returns at once; false when
  // it could not be queued (the frame is gone).
  virtual bool Post(std::uint32_t in_l_message, std::uintptr_t in_l_wparam, std::intptr_t in_l_lparam) = 0;
};

}  // namespace tavc
