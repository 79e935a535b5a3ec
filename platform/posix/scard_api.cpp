// pcsc-lite behind SCardApi. pcsc-lite's LONG and DWORD are `long` and
// `unsigned long` here, and it has no W functions: reader names cross as UTF-8.
#include "platform/scard_api.h"

#include <PCSC/winscard.h>

#include <cstring>
#include <string_view>

#include "common/utf_conversion.h"

namespace tavc::platform {
namespace {

// pcsc-lite keeps the Windows values in a wider LONG; the low 32 bits are the code.
std::int32_t Result(LONG in_l_value) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(static_cast<unsigned long>(in_l_value)));
}

SCARDCONTEXT ToContext(ScardContext in_l_context) { return static_cast<SCARDCONTEXT>(in_l_context); }
SCARDHANDLE ToHandle(ScardHandle in_l_card) { return static_cast<SCARDHANDLE>(in_l_card); }

class PcscLiteApi final : public SCardApi {
 public:
  std::int32_t EstablishContext(ScardContext* out_l_context) override {
    SCARDCONTEXT l_context = 0;
    const LONG l_ret = SCardEstablishContext(SCARD_SCOPE_USER, nullptr, nullptr, &l_context);
    *out_l_context = l_ret == SCARD_S_SUCCESS ? static_cast<ScardContext>(l_context) : 0;
    return Result(l_ret);
  }

  std::int32_t ListReaders(ScardContext in_l_context, std::wstring* out_l_multi_string) override {
    out_l_multi_string->clear();
    char* l_names = nullptr;
    DWORD l_length = SCARD_AUTOALLOCATE;
    const LONG l_ret =
        SCardListReaders(ToContext(in_l_context), nullptr, reinterpret_cast<char*>(&l_names), &l_length);
    if (l_ret != SCARD_S_SUCCESS) return Result(l_ret);
    // Names that are not valid UTF-8 cannot be named back to the service; skip them.
    std::size_t l_pos = 0;
    while (l_pos < l_length) {
      const char* l_start = l_names + l_pos;
      const void* l_end = std::memchr(l_start, '\0', l_length - l_pos);
      if (l_end == nullptr || l_end == l_start) break;
      const std::size_t l_size = static_cast<std::size_t>(static_cast<const char*>(l_end) - l_start);
      const std::wstring l_wide = Utf8ToUtf16(std::string_view(l_start, l_size));
      if (!l_wide.empty()) {
        out_l_multi_string->append(l_wide);
        out_l_multi_string->push_back(L'\0');
      }
      l_pos += l_size + 1;
    }
    out_l_multi_string->push_back(L'\0');
    SCardFreeMemory(ToContext(in_l_context), l_names);
    return kScardSuccess;
  }

  std::int32_t Connect(ScardContext in_l_context, const std::wstring& in_l_reader, ScardHandle* out_l_card,
                       std::uint32_t* out_l_protocol) override {
    const std::string l_reader = Utf16ToUtf8(in_l_reader);
    SCARDHANDLE l_card = 0;
    DWORD l_protocol = 0;
    const LONG l_ret = SCardConnect(ToContext(in_l_context), l_reader.c_str(), SCARD_SHARE_EXCLUSIVE,
                                    SCARD_PROTOCOL_T0 | SCARD_PROTOCOL_T1, &l_card, &l_protocol);
    *out_l_card = l_ret == SCARD_S_SUCCESS ? static_cast<ScardHandle>(l_card) : 0;
    *out_l_protocol = l_ret == SCARD_S_SUCCESS ? static_cast<std::uint32_t>(l_protocol) : 0;
    return Result(l_ret);
  }

  std::int32_t Transmit(ScardHandle in_l_card, std::uint32_t in_l_protocol, const std::uint8_t* in_l_send,
                        std::uint32_t in_l_send_length, std::uint8_t* out_l_receive,
                        std::uint32_t* io_l_receive_length) override {
    SCARD_IO_REQUEST l_pci{in_l_protocol, sizeof(SCARD_IO_REQUEST)};
    DWORD l_length = *io_l_receive_length;
    const LONG l_ret = SCardTransmit(ToHandle(in_l_card), &l_pci, in_l_send, in_l_send_length, nullptr,
                                     out_l_receive, &l_length);
    *io_l_receive_length = l_ret == SCARD_S_SUCCESS && l_length <= *io_l_receive_length
                               ? static_cast<std::uint32_t>(l_length)
                               : 0;
    return Result(l_ret);
  }

  std::int32_t Disconnect(ScardHandle in_l_card, Disposition in_l_disposition) override {
    return Result(SCardDisconnect(ToHandle(in_l_card), in_l_disposition == Disposition::kResetCard ? SCARD_RESET_CARD
                                                                                          : SCARD_LEAVE_CARD));
  }

  std::int32_t ReleaseContext(ScardContext in_l_context) override {
    return Result(SCardReleaseContext(ToContext(in_l_context)));
  }
};

}  // namespace

SCardApi& SystemSCardApi() {
  static PcscLiteApi s_api;
  return s_api;
}

}  // namespace tavc::platform
