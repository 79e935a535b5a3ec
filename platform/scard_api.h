#pragma once
// The PC/SC calls the card libraries make, one to one, behind an interface so
// that tests can put in-process readers behind it. Results are the PC/SC result
// values as Windows defines them (32-bit LONG), on every platform.
#include <cstddef>
#include <cstdint>
#include <string>

namespace tavc::platform {

using ScardContext = std::uintptr_t;
using ScardHandle = std::uintptr_t;

// PC/SC LONG results with their Windows values.
constexpr std::int32_t ScardResult(std::uint32_t in_l_value) { return static_cast<std::int32_t>(in_l_value); }
inline constexpr std::int32_t kScardSuccess = 0;
inline constexpr std::int32_t kScardFInternalError = ScardResult(0x80100001U);
inline constexpr std::int32_t kScardEInvalidHandle = ScardResult(0x80100003U);
inline constexpr std::int32_t kScardEInvalidParameter = ScardResult(0x80100004U);
inline constexpr std::int32_t kScardEUnknownReader = ScardResult(0x80100009U);
inline constexpr std::int32_t kScardEInsufficientBuffer = ScardResult(0x80100008U);
inline constexpr std::int32_t kScardESharingViolation = ScardResult(0x8010000BU);
inline constexpr std::int32_t kScardENoSmartcard = ScardResult(0x8010000CU);
inline constexpr std::int32_t kScardENotTransacted = ScardResult(0x80100016U);
inline constexpr std::int32_t kScardEReaderUnavailable = ScardResult(0x80100017U);
inline constexpr std::int32_t kScardENoService = ScardResult(0x8010001DU);
inline constexpr std::int32_t kScardENoReadersAvailable = ScardResult(0x8010002EU);
inline constexpr std::int32_t kScardWResetCard = ScardResult(0x80100068U);
inline constexpr std::int32_t kScardWRemovedCard = ScardResult(0x80100069U);

// Active protocol bits, the same values in winscard and pcsc-lite.
inline constexpr std::uint32_t kScardProtocolT0 = 0x0001U;
inline constexpr std::uint32_t kScardProtocolT1 = 0x0002U;

class SCardApi {
 public:
  virtual ~SCardApi() = default;

  // Scope user, no reserved pointers.
  virtual std::int32_t EstablishContext(ScardContext* out_l_context) = 0;
  // All readers as one multi-string of UTF-16 units: each name ends with a NUL and
  // an empty name ends the list. The service's own allocation is freed inside.
  virtual std::int32_t ListReaders(ScardContext in_l_context, std::wstring* out_l_multi_string) = 0;
  // Exclusive, T=0 or T=1.
  virtual std::int32_t Connect(ScardContext in_l_context, const std::wstring& in_l_reader, ScardHandle* out_l_card,
                               std::uint32_t* out_l_protocol) = 0;
  // Send PCI of the given protocol, no receive PCI. io_l_receive_length holds the
  // buffer size on entry and the number of bytes received on return.
  virtual std::int32_t Transmit(ScardHandle in_l_card, std::uint32_t in_l_protocol, const std::uint8_t* in_l_send,
                                std::uint32_t in_l_send_length, std::uint8_t* out_l_receive,
                                std::uint32_t* io_l_receive_length) = 0;
  // What becomes of the card when the connection ends: left as it is, or reset
  // so that no PIN verified through this connection stays verified.
  enum class Disposition { kLeaveCard, kResetCard };
  virtual std::int32_t Disconnect(ScardHandle in_l_card, Disposition in_l_disposition) = 0;
  virtual std::int32_t ReleaseContext(ScardContext in_l_context) = 0;
};

// The smart-card service of the system: winscard on Windows, pcsc-lite elsewhere.
SCardApi& SystemSCardApi();

}  // namespace tavc::platform
