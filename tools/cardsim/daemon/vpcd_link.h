#pragma once
// One reader of the daemon, joined to a vpcd reader over TCP with vpcd's
// framing: two bytes of big-endian length, then the payload. A one-byte
// payload is a control message (0 power off, 1 power on, 2 reset, 4 ATR
// request, answered with the ATR); a longer one is a command APDU, answered
// with the response APDU.
//
// The link is up exactly while the reader holds a card: taking the card out
// closes the connection, which is how vpcd learns that the card left; putting
// it back connects again. When listening, the port is open all the time and a
// reader connecting to an empty slot is dropped at once.
#include <atomic>
#include <cstdint>
#include <string>

#include "tools/cardsim/virtual_readers.h"

namespace tavc::cardsim {

struct VpcdLinkSettings {
  std::string m_host_;     // where vpcd listens, or the address to listen on
  std::uint16_t m_port_ = 0;
  bool m_listen_ = false;  // wait for the reader to connect instead of connecting to it
  unsigned m_reinsert_after_ms_ = 0;
};

class VpcdLink {
 public:
  VpcdLink(VirtualReaders& io_l_readers, std::string in_l_reader_name,
           VpcdLinkSettings in_l_settings);
  // Serves the reader until in_l_stop is set. Returns 1 when a listening port
  // cannot be opened, 0 otherwise.
  int Run(const std::atomic<bool>& in_l_stop);

 private:
  // A connection to serve (or, when listening and empty, to drop); -1 when none yet.
  int OpenConnection(bool in_l_card_present, int in_l_listener);
  // Answers the reader until the card leaves, the peer closes or stop is set.
  void Serve(int in_l_socket, std::uint64_t in_l_insertion_id, const std::atomic<bool>& in_l_stop);

  VirtualReaders& m_readers_;
  std::string m_reader_name_;
  VpcdLinkSettings m_settings_;
};

}  // namespace tavc::cardsim
