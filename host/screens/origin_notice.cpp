#include "host/screens/origin_notice.h"

#include "common/template_format.h"
#include "host/resources/message_texts.h"
#include "host/state/request_modes.h"

namespace tavc {
namespace {

constexpr std::uint32_t kOriginLabelId = 3330;
constexpr std::uint32_t kSignatureCountId = 3331;

}  // namespace

std::vector<OriginRun> OriginNoticePieces(const DataStore& in_l_data_store) {
  RequestOrigin l_origin;
  // The intake took only a well-formed origin; the check again costs nothing.
  if (!ParseRequestOrigin(in_l_data_store.GetOrigin(), l_origin)) return {};
  return OriginPieces(LoadMessageText(kOriginLabelId), SplitOriginForDisplay(l_origin));
}

std::wstring SignatureCountNotice(const DataStore& in_l_data_store) {
  // A log-in signs one digest: only the other signing modes tell how many.
  const RequestMode l_mode = in_l_data_store.GetMode();
  const bool l_counted = IsSigningMode(l_mode) && l_mode != RequestMode::kLogin;
  if (in_l_data_store.GetOrigin().empty() || !l_counted) {
    return L"";
  }
  return FormatTemplate(LoadMessageText(kSignatureCountId),
                        {std::to_wstring(in_l_data_store.GetDigest().size())});
}

}  // namespace tavc
