#pragma once
// Command line of cardsim-daemon: where to meet the readers and what each
// reader holds.
#include <cstdint>
#include <string>
#include <vector>

#include "tools/cardsim/card_profiles.h"
#include "tools/cardsim/fault_plan.h"

namespace tavc::cardsim {

enum class CardType { kEmpty, kMyNumber, kGpki };

struct CredentialFile {
  std::string m_slot_;  // auth, auth-ca, sign, sign-ca, user, second
  std::string m_certificate_path_;
  std::string m_key_path_;
};

struct ReaderSetup {
  CardType m_type_ = CardType::kEmpty;
  MyNumberCardProfile m_my_number_;
  GpkiCardProfile m_gpki_;
  std::vector<CredentialFile> m_files_;
  FaultPlan m_faults_;
  unsigned m_reinsert_after_ms_ = 0;  // 0: a removed card stays out
};

struct DaemonOptions {
  std::string m_host_ = "127.0.0.1";
  std::uint16_t m_port_ = 35963;  // reader i uses m_port_ + i
  bool m_listen_ = false;
  std::string m_key_directory_;
  std::string m_export_directory_;
  std::vector<ReaderSetup> m_readers_;
};

// 0 success; 1 with a message in out_l_error; 2 when help was asked for.
int ParseDaemonOptions(const std::vector<std::string>& in_l_arguments, DaemonOptions& out_l_options,
                       std::string& out_l_error);

extern const char kDaemonUsage[];

}  // namespace tavc::cardsim
