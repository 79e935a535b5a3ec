#include "tools/cardsim/daemon/vpcd_link.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <thread>
#include <utility>
#include <vector>

namespace tavc::cardsim {
namespace {

constexpr int kPollMs = 50;
// pcscd looks at its readers every 400 ms; holding an answer this long lets
// its next look queue up behind the command, so that it sees the card gone
// right after the answer.
constexpr int kRemovalSettleMs = 1500;

// Closes with a reset instead of an orderly shutdown: vpcd then reports a
// failed exchange rather than an empty answer.
void Abort(int in_l_socket) {
  linger l_linger{1, 0};
  setsockopt(in_l_socket, SOL_SOCKET, SO_LINGER, &l_linger, sizeof l_linger);
}

int ConnectTo(const std::string& in_l_host, std::uint16_t in_l_port) {
  addrinfo l_hints{};
  l_hints.ai_family = AF_INET;
  l_hints.ai_socktype = SOCK_STREAM;
  l_hints.ai_flags = AI_NUMERICSERV;
  addrinfo* l_list = nullptr;
  if (getaddrinfo(in_l_host.c_str(), std::to_string(in_l_port).c_str(), &l_hints, &l_list) != 0) {
    return -1;
  }
  int l_socket = -1;
  for (addrinfo* l_entry = l_list; l_entry != nullptr; l_entry = l_entry->ai_next) {
    l_socket = socket(l_entry->ai_family, l_entry->ai_socktype, l_entry->ai_protocol);
    if (l_socket < 0) continue;
    if (connect(l_socket, l_entry->ai_addr, l_entry->ai_addrlen) == 0) break;
    close(l_socket);
    l_socket = -1;
  }
  freeaddrinfo(l_list);
  return l_socket;
}

int Listen(const std::string& in_l_host, std::uint16_t in_l_port) {
  const int l_socket = socket(AF_INET, SOCK_STREAM, 0);
  if (l_socket < 0) return -1;
  const int l_yes = 1;
  setsockopt(l_socket, SOL_SOCKET, SO_REUSEADDR, &l_yes, sizeof l_yes);
  sockaddr_in l_address{};
  l_address.sin_family = AF_INET;
  l_address.sin_port = htons(in_l_port);
  if (inet_pton(AF_INET, in_l_host.c_str(), &l_address.sin_addr) != 1 ||
      bind(l_socket, reinterpret_cast<sockaddr*>(&l_address), sizeof l_address) != 0 ||
      listen(l_socket, 1) != 0) {
    close(l_socket);
    return -1;
  }
  return l_socket;
}

// Waits up to kPollMs for the socket to become readable: 1 readable, 0 not yet, -1 error.
int WaitReadable(int in_l_socket) {
  pollfd l_poll{in_l_socket, POLLIN, 0};
  const int l_ready = poll(&l_poll, 1, kPollMs);
  if (l_ready < 0) return -1;
  return l_ready > 0 ? 1 : 0;
}

bool ReadExact(int in_l_socket, std::uint8_t* out_l_bytes, std::size_t in_l_size) {
  std::size_t l_done = 0;
  while (l_done < in_l_size) {
    const ssize_t l_read = recv(in_l_socket, out_l_bytes + l_done, in_l_size - l_done, 0);
    if (l_read <= 0) return false;
    l_done += static_cast<std::size_t>(l_read);
  }
  return true;
}

bool SendFrame(int in_l_socket, const std::vector<std::uint8_t>& in_l_payload) {
  if (in_l_payload.size() > 0xFFFF) return false;
  std::vector<std::uint8_t> l_frame;
  l_frame.push_back(static_cast<std::uint8_t>(in_l_payload.size() >> 8));
  l_frame.push_back(static_cast<std::uint8_t>(in_l_payload.size() & 0xFF));
  l_frame.insert(l_frame.end(), in_l_payload.begin(), in_l_payload.end());
  std::size_t l_done = 0;
  while (l_done < l_frame.size()) {
    const ssize_t l_sent =
        send(in_l_socket, l_frame.data() + l_done, l_frame.size() - l_done, MSG_NOSIGNAL);
    if (l_sent <= 0) return false;
    l_done += static_cast<std::size_t>(l_sent);
  }
  return true;
}

}  // namespace

VpcdLink::VpcdLink(VirtualReaders& io_l_readers, std::string in_l_reader_name,
                   VpcdLinkSettings in_l_settings)
    : m_readers_(io_l_readers),
      m_reader_name_(std::move(in_l_reader_name)),
      m_settings_(std::move(in_l_settings)) {}

int VpcdLink::Run(const std::atomic<bool>& in_l_stop) {
  int l_listener = -1;
  if (m_settings_.m_listen_) {
    l_listener = Listen(m_settings_.m_host_, m_settings_.m_port_);
    if (l_listener < 0) return 1;
  }
  bool l_held_card = false;
  auto l_left_at = std::chrono::steady_clock::now();
  while (!in_l_stop) {
    CardPresence l_presence;
    const bool l_present = m_readers_.Presence(m_reader_name_, l_presence) == ReaderStatus::kOk;
    if (!l_present) {
      if (l_held_card) {
        l_held_card = false;
        l_left_at = std::chrono::steady_clock::now();
      }
      if (m_settings_.m_reinsert_after_ms_ > 0 &&
          std::chrono::steady_clock::now() - l_left_at >=
              std::chrono::milliseconds(m_settings_.m_reinsert_after_ms_)) {
        m_readers_.ReinsertCard(m_reader_name_);
      }
    } else {
      l_held_card = true;
    }
    const int l_socket = OpenConnection(l_present, l_listener);
    if (l_socket < 0) continue;
    if (l_present) Serve(l_socket, l_presence.m_insertion_id_, in_l_stop);
    close(l_socket);
  }
  if (l_listener >= 0) close(l_listener);
  return 0;
}

int VpcdLink::OpenConnection(bool in_l_card_present, int in_l_listener) {
  if (!m_settings_.m_listen_) {
    if (!in_l_card_present) {
      std::this_thread::sleep_for(std::chrono::milliseconds(kPollMs));
      return -1;
    }
    const int l_socket = ConnectTo(m_settings_.m_host_, m_settings_.m_port_);
    if (l_socket < 0) std::this_thread::sleep_for(std::chrono::milliseconds(4 * kPollMs));
    return l_socket;
  }
  // The port stays open while the reader is empty: a reader that connects then
  // is let in and dropped at once, which it takes for an empty slot (vpcd's
  // connecting side does not survive a refused connection).
  if (WaitReadable(in_l_listener) != 1) return -1;
  return accept(in_l_listener, nullptr, nullptr);
}

void VpcdLink::Serve(int in_l_socket, std::uint64_t in_l_insertion_id,
                     const std::atomic<bool>& in_l_stop) {
  // A peer that starts a frame and stalls is dropped rather than waited for.
  timeval l_timeout{5, 0};
  setsockopt(in_l_socket, SOL_SOCKET, SO_RCVTIMEO, &l_timeout, sizeof l_timeout);
  while (!in_l_stop) {
    CardPresence l_presence;
    if (m_readers_.Presence(m_reader_name_, l_presence) != ReaderStatus::kOk ||
        l_presence.m_insertion_id_ != in_l_insertion_id) {
      return;
    }
    const int l_ready = WaitReadable(in_l_socket);
    if (l_ready < 0) return;
    if (l_ready == 0) continue;
    std::uint8_t l_header[2];
    if (!ReadExact(in_l_socket, l_header, 2)) return;
    const std::size_t l_size = (static_cast<std::size_t>(l_header[0]) << 8) | l_header[1];
    std::vector<std::uint8_t> l_payload(l_size);
    if (l_size > 0 && !ReadExact(in_l_socket, l_payload.data(), l_size)) return;
    if (l_size == 1) {
      switch (l_payload[0]) {
        case 0:  // power off: a real card loses its volatile state
        case 2:  // reset
          if (m_readers_.ResetCard(m_reader_name_, in_l_insertion_id) != ReaderStatus::kOk) return;
          break;
        case 4:
          if (!SendFrame(in_l_socket, l_presence.m_atr_)) return;
          break;
        default:  // power on and anything unknown need no answer
          break;
      }
      continue;
    }
    std::vector<std::uint8_t> l_response;
    if (m_readers_.Transmit(m_reader_name_, in_l_insertion_id, l_payload, l_response) !=
        ReaderStatus::kOk) {
      // The card left during the command; vpcd has no way to say so but a
      // failed exchange.
      Abort(in_l_socket);
      return;
    }
    if (m_readers_.RemovesAtNextCommand(m_reader_name_)) {
      // The card leaves between this answer and the next command: the next
      // command then meets SCARD_W_REMOVED_CARD, as with a card pulled out.
      std::this_thread::sleep_for(std::chrono::milliseconds(kRemovalSettleMs));
      SendFrame(in_l_socket, l_response);
      m_readers_.EjectCard(m_reader_name_);
      Abort(in_l_socket);
      return;
    }
    if (!SendFrame(in_l_socket, l_response)) return;
  }
}

}  // namespace tavc::cardsim
