// Arbitrary bytes as the card's answers to the certificate and personal-data
// reads: the virtual card answers everything else itself. The first byte picks
// the operation; then each piece (one length byte, then that many bytes) is the
// whole answer, status bytes included, to the next READ BINARY and READ RECORD.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "host/card/access_for_personal_info.h"
#include "tests/support/in_process_card_rig.h"

namespace {

using namespace tavc;

constexpr char kReader[] = "Virtual Reader 0";

struct Operation {
  const wchar_t* mode;
  const wchar_t* password;
  // READ BINARY commands before the first read fuzzed (the token read of the version check).
  std::size_t reads_before;
  CardOutcome (AccessForPersonalInfo::*run)();
};

const Operation kOperations[] = {
    {L"01", L"1234", 1, &AccessForPersonalInfo::GetCertificate},
    {L"02", L"ABC123", 1, &AccessForPersonalInfo::GetCertificate},
    {L"03", L"1234", 0, &AccessForPersonalInfo::ExtractPersonalInfo},
    {L"04", L"1234", 0, &AccessForPersonalInfo::ExtractPersonalInfo},
    {L"01", L"1234", 1, &AccessForPersonalInfo::ExtractCityCode},
    {L"03", L"1234", 0, &AccessForPersonalInfo::ExtractCombinationCode},
};

test::InProcessCardRig& Rig() {
  static test::InProcessCardRig* const s_rig = [] {
    auto* l_rig = new test::InProcessCardRig();
    std::string l_error;
    if (!l_rig->Start({{test::CardKind::kMyNumber}}, &l_error)) __builtin_trap();
    return l_rig;
  }();
  return *s_rig;
}

cardsim::StatusOverride Answer(std::uint8_t in_l_ins, std::size_t in_l_occurrence, std::vector<std::uint8_t> in_l_bytes) {
  cardsim::StatusOverride l_override;
  l_override.m_pattern_ = cardsim::ApduPattern::Prefix({0x00, in_l_ins});
  l_override.m_occurrence_ = in_l_occurrence;
  l_override.m_answer_ = std::move(in_l_bytes);
  return l_override;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* in_l_data, std::size_t in_l_size) {
  if (in_l_size == 0) return 0;
  const Operation& l_operation = kOperations[in_l_data[0] % (sizeof(kOperations) / sizeof(kOperations[0]))];
  cardsim::FaultPlan l_plan;
  std::size_t l_pos = 1;
  for (std::size_t l_piece = 1; l_pos < in_l_size; ++l_piece) {
    const std::size_t l_length = std::min<std::size_t>(in_l_data[l_pos], in_l_size - l_pos - 1);
    const std::vector<std::uint8_t> l_bytes(in_l_data + l_pos + 1, in_l_data + l_pos + 1 + l_length);
    l_plan.m_status_overrides_.push_back(Answer(0xB0, l_operation.reads_before + l_piece, l_bytes));
    l_plan.m_status_overrides_.push_back(Answer(0xB2, l_piece, l_bytes));
    l_pos += 1 + l_length;
  }
  test::InProcessCardRig& l_rig = Rig();
  // A fresh insertion: the PINs are forgotten and the commands counted anew.
  l_rig.Readers().EjectCard(kReader);
  l_rig.Readers().ReinsertCard(kReader, std::move(l_plan));

  DataStore l_store;
  l_store.SetMode(l_operation.mode);
  l_store.SetPassword(l_operation.password);
  l_store.SetCityCodeFlag(1);
  l_store.SetCombinationCodeFlag(1);
  ResultData l_result;
  ErrorInfo l_error;
  AccessForPersonalInfo l_access(l_rig.Api());
  if (l_access.EstablishCardSession(&l_error, &l_store, &l_result) != 0) __builtin_trap();
  if (l_store.GetMode() != RequestMode::kLogin && l_access.CheckCardPassword() != 0) __builtin_trap();
  const int l_ret = (l_access.*l_operation.run)();
  l_access.ReleaseCardSession();
  // Whatever the card said, the outcome is a success or a failure with its code.
  if (l_ret != 0 && l_error.GetCode().empty()) __builtin_trap();
  if (l_rig.OpenHandles() != 0) __builtin_trap();
  return 0;
}
