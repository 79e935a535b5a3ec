// winscard behind SCardApi.
#include "platform/scard_api.h"

#include <windows.h>
#include <winscard.h>

namespace tavc::platform {
namespace {

std::int32_t Result(LONG in_l_value) { return static_cast<std::int32_t>(in_l_value); }

class WinScardApi final : public SCardApi {
 public:
  std::int32_t EstablishContext(ScardContext* out_l_context) override {
    SCARDCONTEXT l_context = 0;
    const LONG l_ret = SCardEstablishContext(SCARD_SCOPE_USER, nullptr, nullptr, &l_context);
    *out_l_context = l_ret == SCARD_S_SUCCESS ? static_cast<ScardContext>(l_context) : 0;
    return Result(l_ret);
  }

  std::int32_t ListReaders(ScardContext in_l_context, std::wstring* out_l_multi_string) override {
    out_l_multi_string->clear();
    LPWSTR l_names = nullptr;
    DWORD l_length = SCARD_AUTOALLOCATE;
    const LONG l_ret = SCardListReadersW(static_cast<SCARDCONTEXT>(in_l_context), nullptr,
                                         reinterpret_cast<LPWSTR>(&l_names), &l_length);
    if (l_ret != SCARD_S_SUCCESS) return Result(l_ret);
    out_l_multi_string->assign(l_names, l_length);
    out_l_multi_string->push_back(L'\0');
    SCardFreeMemory(static_cast<SCARDCONTEXT>(in_l_context), l_names);
    return Result(l_ret);
  }

  std::int32_t Connect(ScardContext in_l_context, const std::wstring& in_l_reader, ScardHandle* out_l_card,
                       std::uint32_t* out_l_protocol) override {
    SCARDHANDLE l_card = 0;
    DWORD l_protocol = 0;
    const LONG l_ret = SCardConnectW(static_cast<SCARDCONTEXT>(in_l_context), in_l_reader.c_str(),
                                     SCARD_SHARE_EXCLUSIVE, SCARD_PROTOCOL_T0 | SCARD_PROTOCOL_T1, &l_card,
                                     &l_protocol);
    *out_l_card = l_ret == SCARD_S_SUCCESS ? static_cast<ScardHandle>(l_card) : 0;
    *out_l_protocol = l_ret == SCARD_S_SUCCESS ? static_cast<std::uint32_t>(l_protocol) : 0;
    return Result(l_ret);
  }

  std::int32_t Transmit(ScardHandle in_l_card, std::uint32_t in_l_protocol, const std::uint8_t* in_l_send,
                        std::uint32_t in_l_send_length, std::uint8_t* out_l_receive,
                        std::uint32_t* io_l_receive_length) override {
    SCARD_IO_REQUEST l_pci{in_l_protocol, sizeof(SCARD_IO_REQUEST)};
    DWORD l_length = *io_l_receive_length;
    const LONG l_ret = SCardTransmit(static_cast<SCARDHANDLE>(in_l_card), &l_pci, in_l_send, in_l_send_length,
                                     nullptr, out_l_receive, &l_length);
    *io_l_receive_length = l_ret == SCARD_S_SUCCESS && l_length <= *io_l_receive_length
                               ? static_cast<std::uint32_t>(l_length)
                               : 0;
    return Result(l_ret);
  }

  std::int32_t Disconnect(ScardHandle in_l_card, Disposition in_l_disposition) override {
    return Result(SCardDisconnect(static_cast<SCARDHANDLE>(in_l_card), in_l_disposition == Disposition::kResetCard ? SCARD_RESET_CARD
                                                                                          : SCARD_LEAVE_CARD));
  }

  std::int32_t ReleaseContext(ScardContext in_l_context) override {
    return Result(SCardReleaseContext(static_cast<SCARDCONTEXT>(in_l_context)));
  }
};

}  // namespace

SCardApi& SystemSCardApi() {
  static WinScardApi s_api;
  return s_api;
}

}  // namespace tavc::platform
