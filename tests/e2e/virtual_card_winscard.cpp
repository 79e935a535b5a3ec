// A winscard.dll for the end-to-end tests: the readers of `cardsim-daemon
// --listen`, reached over TCP on 127.0.0.1 with the daemon's framing (two bytes
// of big-endian length, then the payload; a one-byte payload is a control:
// 0 power off, 2 reset, 4 ATR request). Wine loads it instead of its own stub
// with WINEDLLOVERRIDES=winscard=n, from TAV.exe's folder.
//
// The readers come from TAV_TEST_READERS, "name=port" entries separated by
// ';'. Without it there is no reader at all. A reader whose slot is empty
// accepts the connection and closes it at once: that is "no card". A card
// taken out (the daemon's `remove I`) closes the connection: the next command
// meets SCARD_W_REMOVED_CARD.
#include <winsock2.h>
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <vector>

namespace {

using ScardContext = ULONG_PTR;
using ScardHandle = ULONG_PTR;
constexpr LONG kSuccess = 0;
constexpr LONG kInvalidHandle = static_cast<LONG>(0x80100003U);
constexpr LONG kInvalidParameter = static_cast<LONG>(0x80100004U);
constexpr LONG kInsufficientBuffer = static_cast<LONG>(0x80100008U);
constexpr LONG kUnknownReader = static_cast<LONG>(0x80100009U);
constexpr LONG kNoSmartcard = static_cast<LONG>(0x8010000CU);
constexpr LONG kNoService = static_cast<LONG>(0x8010001DU);
constexpr LONG kNoReadersAvailable = static_cast<LONG>(0x8010002EU);
constexpr LONG kNoMemory = static_cast<LONG>(0x80100006U);
constexpr LONG kRemovedCard = static_cast<LONG>(0x80100069U);
constexpr DWORD kAutoAllocate = 0xFFFFFFFFU;
constexpr DWORD kProtocolT1 = 2;
constexpr DWORD kLeaveCard = 0;
constexpr DWORD kUnpowerCard = 2;
constexpr ScardContext kContext = 1;
// Longer than any card command of the tests, including the daemon's --delay-ms.
constexpr DWORD kAnswerTimeoutMs = 60000;

struct Reader {
  std::wstring name;
  unsigned short port = 0;
};

std::mutex g_lock;
std::map<ScardHandle, SOCKET> g_cards;
ScardHandle g_next_handle = 0x100;

std::vector<Reader> ConfiguredReaders() {
  std::vector<Reader> l_readers;
  wchar_t l_buffer[4096] = {};
  const DWORD l_length = GetEnvironmentVariableW(L"TAV_TEST_READERS", l_buffer, 4096);
  if (l_length == 0 || l_length >= 4096) return l_readers;
  const std::wstring l_text(l_buffer, l_length);
  std::size_t l_pos = 0;
  while (l_pos < l_text.size()) {
    const std::size_t l_end = std::min(l_text.find(L';', l_pos), l_text.size());
    const std::wstring l_entry = l_text.substr(l_pos, l_end - l_pos);
    const std::size_t l_equals = l_entry.rfind(L'=');
    if (l_equals != std::wstring::npos && l_equals > 0) {
      const unsigned long l_port = wcstoul(l_entry.c_str() + l_equals + 1, nullptr, 10);
      if (l_port > 0 && l_port <= 0xFFFF) {
        l_readers.push_back({l_entry.substr(0, l_equals), static_cast<unsigned short>(l_port)});
      }
    }
    l_pos = l_end + 1;
  }
  return l_readers;
}

bool SendAll(SOCKET in_l_socket, const std::vector<std::uint8_t>& in_l_bytes) {
  std::size_t l_done = 0;
  while (l_done < in_l_bytes.size()) {
    const int l_sent = send(in_l_socket, reinterpret_cast<const char*>(in_l_bytes.data() + l_done),
                            static_cast<int>(in_l_bytes.size() - l_done), 0);
    if (l_sent <= 0) return false;
    l_done += static_cast<std::size_t>(l_sent);
  }
  return true;
}

bool ReceiveAll(SOCKET in_l_socket, std::uint8_t* out_l_bytes, std::size_t in_l_size) {
  std::size_t l_done = 0;
  while (l_done < in_l_size) {
    const int l_read = recv(in_l_socket, reinterpret_cast<char*>(out_l_bytes + l_done),
                            static_cast<int>(in_l_size - l_done), 0);
    if (l_read <= 0) return false;
    l_done += static_cast<std::size_t>(l_read);
  }
  return true;
}

bool SendFrame(SOCKET in_l_socket, const std::uint8_t* in_l_payload, std::size_t in_l_size) {
  if (in_l_size > 0xFFFF) return false;
  std::vector<std::uint8_t> l_frame{static_cast<std::uint8_t>(in_l_size >> 8),
                                    static_cast<std::uint8_t>(in_l_size & 0xFF)};
  l_frame.insert(l_frame.end(), in_l_payload, in_l_payload + in_l_size);
  return SendAll(in_l_socket, l_frame);
}

bool ReceiveFrame(SOCKET in_l_socket, std::vector<std::uint8_t>& out_l_payload) {
  std::uint8_t l_header[2];
  if (!ReceiveAll(in_l_socket, l_header, 2)) return false;
  out_l_payload.assign((static_cast<std::size_t>(l_header[0]) << 8) | l_header[1], 0);
  return out_l_payload.empty() || ReceiveAll(in_l_socket, out_l_payload.data(), out_l_payload.size());
}

SOCKET ConnectTo(unsigned short in_l_port) {
  const SOCKET l_socket = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if (l_socket == INVALID_SOCKET) return INVALID_SOCKET;
  sockaddr_in l_address{};
  l_address.sin_family = AF_INET;
  l_address.sin_port = htons(in_l_port);
  l_address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  const DWORD l_timeout = kAnswerTimeoutMs;
  setsockopt(l_socket, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&l_timeout), sizeof l_timeout);
  if (connect(l_socket, reinterpret_cast<sockaddr*>(&l_address), sizeof l_address) != 0) {
    closesocket(l_socket);
    return INVALID_SOCKET;
  }
  return l_socket;
}

SOCKET TakeCard(ScardHandle in_l_card) {
  std::lock_guard<std::mutex> l_guard(g_lock);
  const auto l_found = g_cards.find(in_l_card);
  if (l_found == g_cards.end()) return INVALID_SOCKET;
  const SOCKET l_socket = l_found->second;
  g_cards.erase(l_found);
  return l_socket;
}

}  // namespace

extern "C" {

// The protocol control information winscard.h declares as data.
struct IoRequest {
  DWORD protocol;
  DWORD length;
};
__declspec(dllexport) extern const IoRequest g_rgSCardT0Pci = {1, sizeof(IoRequest)};
__declspec(dllexport) extern const IoRequest g_rgSCardT1Pci = {2, sizeof(IoRequest)};

__declspec(dllexport) LONG WINAPI SCardEstablishContext(DWORD, LPCVOID, LPCVOID, ScardContext* out_l_context) {
  if (out_l_context == nullptr) return kInvalidParameter;
  WSADATA l_data;
  if (WSAStartup(MAKEWORD(2, 2), &l_data) != 0) return kNoService;
  *out_l_context = kContext;
  return kSuccess;
}

__declspec(dllexport) LONG WINAPI SCardReleaseContext(ScardContext in_l_context) {
  if (in_l_context != kContext) return kInvalidHandle;
  WSACleanup();
  return kSuccess;
}

__declspec(dllexport) LONG WINAPI SCardListReadersW(ScardContext in_l_context, LPCWSTR, LPWSTR out_l_names,
                                                    LPDWORD io_l_length) {
  if (in_l_context != kContext) return kInvalidHandle;
  if (io_l_length == nullptr) return kInvalidParameter;
  std::wstring l_list;
  for (const Reader& l_reader : ConfiguredReaders()) l_list += l_reader.name + L'\0';
  if (l_list.empty()) return kNoReadersAvailable;
  l_list.push_back(L'\0');
  const DWORD l_units = static_cast<DWORD>(l_list.size());
  if (*io_l_length == kAutoAllocate) {
    if (out_l_names == nullptr) return kInvalidParameter;
    auto* l_copy = static_cast<wchar_t*>(HeapAlloc(GetProcessHeap(), 0, l_units * sizeof(wchar_t)));
    if (l_copy == nullptr) return kNoMemory;
    CopyMemory(l_copy, l_list.data(), l_units * sizeof(wchar_t));
    *reinterpret_cast<wchar_t**>(out_l_names) = l_copy;
  } else if (out_l_names != nullptr) {
    if (*io_l_length < l_units) {
      *io_l_length = l_units;
      return kInsufficientBuffer;
    }
    CopyMemory(out_l_names, l_list.data(), l_units * sizeof(wchar_t));
  }
  *io_l_length = l_units;
  return kSuccess;
}

__declspec(dllexport) LONG WINAPI SCardFreeMemory(ScardContext, LPCVOID in_l_memory) {
  if (in_l_memory != nullptr) HeapFree(GetProcessHeap(), 0, const_cast<LPVOID>(in_l_memory));
  return kSuccess;
}

__declspec(dllexport) LONG WINAPI SCardConnectW(ScardContext in_l_context, LPCWSTR in_l_reader, DWORD, DWORD,
                                                ScardHandle* out_l_card, LPDWORD out_l_protocol) {
  if (in_l_context != kContext) return kInvalidHandle;
  if (in_l_reader == nullptr || out_l_card == nullptr || out_l_protocol == nullptr) return kInvalidParameter;
  unsigned short l_port = 0;
  for (const Reader& l_reader : ConfiguredReaders()) {
    if (l_reader.name == in_l_reader) l_port = l_reader.port;
  }
  if (l_port == 0) return kUnknownReader;
  const SOCKET l_socket = ConnectTo(l_port);
  if (l_socket == INVALID_SOCKET) return kNoSmartcard;
  // Power on, then the ATR: an empty slot closes the connection instead.
  const std::uint8_t l_power_on = 1;
  const std::uint8_t l_atr_request = 4;
  std::vector<std::uint8_t> l_atr;
  if (!SendFrame(l_socket, &l_power_on, 1) || !SendFrame(l_socket, &l_atr_request, 1) ||
      !ReceiveFrame(l_socket, l_atr) || l_atr.empty()) {
    closesocket(l_socket);
    return kNoSmartcard;
  }
  std::lock_guard<std::mutex> l_guard(g_lock);
  *out_l_card = g_next_handle++;
  g_cards[*out_l_card] = l_socket;
  *out_l_protocol = kProtocolT1;
  return kSuccess;
}

__declspec(dllexport) LONG WINAPI SCardTransmit(ScardHandle in_l_card, LPCVOID, const BYTE* in_l_send,
                                                DWORD in_l_send_length, LPVOID, LPBYTE out_l_receive,
                                                LPDWORD io_l_receive_length) {
  if (in_l_send == nullptr || out_l_receive == nullptr || io_l_receive_length == nullptr || in_l_send_length < 4) {
    return kInvalidParameter;
  }
  SOCKET l_socket = INVALID_SOCKET;
  {
    std::lock_guard<std::mutex> l_guard(g_lock);
    const auto l_found = g_cards.find(in_l_card);
    if (l_found == g_cards.end()) return kInvalidHandle;
    l_socket = l_found->second;
  }
  std::vector<std::uint8_t> l_response;
  if (!SendFrame(l_socket, in_l_send, in_l_send_length) || !ReceiveFrame(l_socket, l_response) ||
      l_response.size() < 2) {
    return kRemovedCard;
  }
  if (l_response.size() > *io_l_receive_length) return kInsufficientBuffer;
  CopyMemory(out_l_receive, l_response.data(), l_response.size());
  *io_l_receive_length = static_cast<DWORD>(l_response.size());
  return kSuccess;
}

__declspec(dllexport) LONG WINAPI SCardDisconnect(ScardHandle in_l_card, DWORD in_l_disposition) {
  const SOCKET l_socket = TakeCard(in_l_card);
  if (l_socket == INVALID_SOCKET) return kInvalidHandle;
  if (in_l_disposition != kLeaveCard) {
    // Reset and unpower both leave the card without its verified passwords.
    const std::uint8_t l_control = in_l_disposition == kUnpowerCard ? 0 : 2;
    SendFrame(l_socket, &l_control, 1);
  }
  closesocket(l_socket);
  return kSuccess;
}

}  // extern "C"
