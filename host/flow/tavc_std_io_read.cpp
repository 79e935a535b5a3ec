// Reading and validating the one request of a run.
#include <cstdint>
#include <vector>

#include "common/secure_wipe.h"
#include "common/utf_conversion.h"
#include "host/card/digest_info.h"
#include "host/flow/start_up_check.h"
#include "host/flow/tavc_std_io.h"
#include "host/state/request_modes.h"
#include "platform/own_version.h"

namespace tavc {
namespace {

constexpr std::uint16_t kModule = 0x8006;
constexpr std::uint8_t kRoutineReadFromStdIn = 0x03;

// Modes "02"/"07" take either a certification authority, or a file with its
// password, or neither.
bool IsValidCertificateChoice(const DataStore& in_l_data_store) {
  const bool l_ca = !in_l_data_store.GetCertificateType().empty();
  const bool l_path = !in_l_data_store.GetFilePath().empty();
  const bool l_password = !in_l_data_store.GetFilePassword().empty();
  return (l_ca && !l_path && !l_password) || (!l_ca && l_path && l_password) || (!l_ca && !l_path && !l_password);
}

// A card's key signs the request's bytes as they are, so each must be a SHA-256
// DigestInfo; the provider and file keys sign the hash at its end themselves.
bool HasOnlyCardDigestInfos(const DataStore& in_l_data_store) {
  const RequestMode l_mode = in_l_data_store.GetMode();
  const bool l_card = !IsCertificateChoiceMode(l_mode) ||
                      (in_l_data_store.GetCertificateType().empty() && in_l_data_store.GetFilePath().empty());
  if (!IsSigningMode(l_mode) || !l_card) return true;
  DigestInfo l_digest_info{};
  for (const std::wstring& l_digest : in_l_data_store.GetDigest()) {
    if (!DigestInfoFromHex(l_digest, &l_digest_info)) return false;
  }
  return true;
}

}  // namespace

TavcStdIo::TavcStdIo() : TavcStdIo(platform::ProcessStdStreams(), platform::ReadOwnProductVersion) {}

TavcStdIo::TavcStdIo(platform::StdStreams& in_l_streams, VersionReader in_l_version_reader)
    : m_streams_(&in_l_streams), m_version_reader_(std::move(in_l_version_reader)) {}

int TavcStdIo::RetrieveOwnVersion(DataStore& in_l_data_store) {
  std::wstring l_version;
  if (!m_version_reader_ || !m_version_reader_(l_version)) return 1;
  in_l_data_store.SetOwnVersion(l_version.substr(0, l_version.find(L'.')));
  return 0;
}

StartResult TavcStdIo::ReadFromStdIn(DataStore& in_l_data_store, ErrorInfo& in_l_error_info) {
  if (RetrieveOwnVersion(in_l_data_store) != 0) {
    in_l_error_info.SetCardError(L"EW044-1299", kModule, kRoutineReadFromStdIn, 0x02);
    return StartResult::kRefused;
  }
  m_streams_->PrepareBinaryInput();

  // End of file inside the prefix leaves 0xFF bytes, so the length is refused.
  std::uint8_t l_prefix[4] = {0xFF, 0xFF, 0xFF, 0xFF};
  m_streams_->ReadBytes(l_prefix, sizeof(l_prefix));
  std::uint32_t l_size = 0;
  for (int l_i = 3; l_i >= 0; --l_i) l_size = (l_size << 8) | l_prefix[l_i];
  if (l_size == 0 || l_size > kMaxRequestSize) {
    in_l_error_info.SetError(L"EW042-1200", L"", L"", L"");
    return StartResult::kRefused;
  }

  // One read of exactly the body: what follows the frame stays for the
  // interrupt watcher. A short body leaves zero bytes behind the JSON, which the
  // scanner refuses.
  std::vector<std::uint8_t> l_bytes(l_size, 0);
  const ScopedWipe<std::vector<std::uint8_t>> l_wipe_bytes(l_bytes);
  m_streams_->ReadBytes(l_bytes.data(), l_bytes.size());

  // Invalid UTF-8 converts to nothing: an empty request that the checks refuse.
  std::wstring l_text = Utf8ToUtf16(l_bytes.data(), l_bytes.size());
  const ScopedWipe<std::wstring> l_wipe_text(l_text);
  SecureWipe(l_bytes);
  if (ParseStdIn(l_text.data(), l_text.size(), in_l_data_store, in_l_error_info) != 0) {
    if (in_l_error_info.GetCode().empty()) in_l_error_info.SetError(L"EW042-1206", L"", L"", L"");
    return StartResult::kRefused;
  }

  const RequestMode l_mode = in_l_data_store.GetMode();
  if (in_l_data_store.GetModeText().empty() || in_l_data_store.GetLatestVersion().empty() ||
      in_l_data_store.GetAvailableVersion().empty() ||
      (IsSigningMode(l_mode) && in_l_data_store.GetDigest().empty()) ||
      (IsCertificateChoiceMode(l_mode) && !IsValidCertificateChoice(in_l_data_store))) {
    in_l_error_info.SetError(L"EW042-1201", L"", L"", L"");
    return StartResult::kRefused;
  }
  if (IsCertificateChoiceMode(l_mode) && in_l_data_store.GetCertificateType() == L"001") {
    in_l_data_store.SetCertificateType(L"");
  }
  const StartResult l_checked = StartUpCheck::CheckParams(in_l_data_store, in_l_error_info);
  if (l_checked == StartResult::kAccepted && !HasOnlyCardDigestInfos(in_l_data_store)) {
    in_l_error_info.SetError(DigestErrorCode(l_mode), L"", L"", L"");
    return StartResult::kRefused;
  }
  return l_checked;
}

}  // namespace tavc
