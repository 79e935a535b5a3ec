#include "host/card/card_session.h"

#include <algorithm>
#include <string>

#include "host/card/card_result.h"

namespace tavc {
namespace {

constexpr std::uint8_t kRoutineEstablish = 0x01;
constexpr std::uint8_t kRoutineCheckError = 0x12;

}  // namespace

CardOutcome CardSession::Fail(const wchar_t* in_l_code, std::uint8_t in_l_routine, std::uint8_t in_l_point) {
  if (m_error_info_ != nullptr) m_error_info_->SetCardError(in_l_code, m_codes_.module, in_l_routine, in_l_point);
  ReleaseCardSession();
  return kOutcomeFailed;
}

bool CardSession::CheckMembers(const wchar_t* in_l_code, std::uint8_t in_l_routine, bool in_l_need_result_data) {
  m_card_error_info_ = CardErrorInfo{};
  std::uint8_t l_point = 0;
  if (!m_connection_.HasContext()) {
    l_point = 1;
  } else if (!m_connection_.HasCard()) {
    l_point = 2;
  } else if (m_data_store_ == nullptr) {
    l_point = 3;
  } else if (in_l_need_result_data && m_result_data_ == nullptr) {
    l_point = 4;
  }
  if (l_point == 0 && m_error_info_ != nullptr) return true;
  static_cast<void>(Fail(in_l_code, in_l_routine, l_point));
  return false;
}

bool CardSession::TakeDigestInfos(const wchar_t* in_l_code, std::uint8_t in_l_routine, std::uint8_t in_l_bad_point,
                                  std::vector<DigestInfo>* out_l_digest_infos) {
  const std::vector<std::wstring>& l_digests = m_data_store_->GetDigest();
  const auto l_empty = [](const std::wstring& in_l_digest) { return in_l_digest.empty(); };
  std::uint8_t l_point = 0;
  if (l_digests.empty()) {
    l_point = 5;
  } else if (std::any_of(l_digests.begin(), l_digests.end(), l_empty)) {
    l_point = 6;
  } else {
    out_l_digest_infos->assign(l_digests.size(), DigestInfo{});
    for (std::size_t l_i = 0; l_i < l_digests.size() && l_point == 0; ++l_i) {
      if (!DigestInfoFromHex(l_digests[l_i], &(*out_l_digest_infos)[l_i])) l_point = in_l_bad_point;
    }
  }
  if (l_point == 0) return true;
  static_cast<void>(Fail(in_l_code, in_l_routine, l_point));
  return false;
}

CardOutcome CardSession::CheckError(int in_l_result, const CardCodeTable& in_l_table) {
  if (in_l_result == kCardOk) return kOutcomeDone;
  if (in_l_result == kCardInvalid) return Fail(m_codes_.invalid_call, kRoutineCheckError, 1);
  if (m_error_info_ != nullptr) RecordCardFailure(in_l_result, m_card_error_info_, in_l_table, m_error_info_);
  ReleaseCardSession();
  return kOutcomeFailed;
}

CardOutcome CardSession::TakeRecords(ErrorInfo* in_l_error_info, DataStore* in_l_data_store,
                                     ResultData* in_l_result_data) {
  m_error_info_ = in_l_error_info;
  m_data_store_ = in_l_data_store;
  m_result_data_ = in_l_result_data;
  m_card_error_info_ = CardErrorInfo{};
  // A session still open from an earlier action is closed, not leaked.
  ReleaseCardSession();
  if (m_error_info_ == nullptr) return kOutcomeFailed;
  if (m_data_store_ == nullptr) return Fail(m_codes_.establish, kRoutineEstablish, 1);
  if (m_result_data_ == nullptr) return Fail(m_codes_.establish, kRoutineEstablish, 2);
  return kOutcomeDone;
}

CardOutcome CardSession::Opened(int in_l_result, const wchar_t* in_l_library_no_context, const wchar_t* in_l_no_context,
                                const CardCodeTable& in_l_table) {
  if (in_l_result == kCardOk) return kOutcomeDone;
  if (in_l_result == kCardInvalid) return Fail(m_codes_.establish, kRoutineEstablish, 3);
  if (m_card_error_info_.error_code == in_l_library_no_context) {
    // Nothing was opened that would need closing.
    m_error_info_->SetApiError(in_l_no_context, static_cast<std::uint32_t>(m_card_error_info_.pcsc_api_error));
    return kOutcomeFailed;
  }
  return CheckError(in_l_result, in_l_table);
}

}  // namespace tavc
