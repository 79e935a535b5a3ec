#include "tools/cardsim/daemon/card_setup.h"

#include <fstream>
#include <utility>
#include <vector>

#include "tools/cardsim/credential_factory.h"
#include "tools/cardsim/gpki_card.h"
#include "tools/cardsim/my_number_card.h"

namespace tavc::cardsim {
namespace {

struct SlotTarget {
  const char* m_name_;
  std::vector<std::uint8_t>* m_certificate_;
  std::shared_ptr<const CardKey>* m_key_;  // null for CA slots
};

int ApplyFiles(const ReaderSetup& in_l_setup, const std::vector<SlotTarget>& in_l_targets,
               std::string& out_l_error) {
  for (const CredentialFile& l_file : in_l_setup.m_files_) {
    const SlotTarget* l_target = nullptr;
    for (const SlotTarget& l_candidate : in_l_targets) {
      if (l_file.m_slot_ == l_candidate.m_name_) l_target = &l_candidate;
    }
    if (l_target == nullptr) {
      out_l_error = "slot " + l_file.m_slot_ + " does not belong to this card type";
      return 1;
    }
    if (l_file.m_certificate_path_.empty() ||
        (l_target->m_key_ != nullptr) == l_file.m_key_path_.empty()) {
      out_l_error = "slot " + l_file.m_slot_ +
                    (l_target->m_key_ != nullptr ? " needs both --cert and --key"
                                                 : " takes --cert only");
      return 1;
    }
    if (l_target->m_key_ == nullptr) {
      if (LoadCertificateFile(l_file.m_certificate_path_, *l_target->m_certificate_) != 0) {
        out_l_error = "cannot read certificate " + l_file.m_certificate_path_;
        return 1;
      }
      continue;
    }
    CardCredential l_credential;
    if (LoadCredential(l_file.m_certificate_path_, l_file.m_key_path_, l_credential) != 0) {
      out_l_error = "cannot read " + l_file.m_certificate_path_ + " / " + l_file.m_key_path_;
      return 1;
    }
    *l_target->m_certificate_ = std::move(l_credential.m_certificate_);
    *l_target->m_key_ = std::move(l_credential.m_key_);
  }
  return 0;
}

int Export(const std::string& in_l_prefix, const std::vector<SlotTarget>& in_l_targets,
           std::string& out_l_error) {
  if (in_l_prefix.empty()) return 0;
  for (const SlotTarget& l_target : in_l_targets) {
    const std::string l_path = in_l_prefix + l_target.m_name_ + ".der";
    std::ofstream l_out(l_path, std::ios::binary | std::ios::trunc);
    l_out.write(reinterpret_cast<const char*>(l_target.m_certificate_->data()),
                static_cast<std::streamsize>(l_target.m_certificate_->size()));
    if (!l_out) {
      out_l_error = "cannot write " + l_path;
      return 1;
    }
  }
  return 0;
}

}  // namespace

int BuildReaderCard(const ReaderSetup& in_l_setup, const std::string& in_l_export_prefix,
                    std::unique_ptr<IsoCard>& out_l_card, std::string& out_l_error) {
  out_l_card.reset();
  if (in_l_setup.m_type_ == CardType::kEmpty) return 0;
  if (in_l_setup.m_type_ == CardType::kMyNumber) {
    MyNumberCredentials l_credentials;
    if (MakeMyNumberCredentials(in_l_setup.m_my_number_, l_credentials) != 0) {
      out_l_error = "cannot generate the My Number card credentials";
      return 1;
    }
    const std::vector<SlotTarget> l_targets = {
        {"auth", &l_credentials.m_auth_.m_certificate_, &l_credentials.m_auth_.m_key_},
        {"auth-ca", &l_credentials.m_auth_ca_certificate_, nullptr},
        {"sign", &l_credentials.m_sign_.m_certificate_, &l_credentials.m_sign_.m_key_},
        {"sign-ca", &l_credentials.m_sign_ca_certificate_, nullptr}};
    if (ApplyFiles(in_l_setup, l_targets, out_l_error) != 0 ||
        Export(in_l_export_prefix, l_targets, out_l_error) != 0) {
      return 1;
    }
    out_l_card = MakeMyNumberCard(in_l_setup.m_my_number_, l_credentials);
    return 0;
  }
  GpkiCredentials l_credentials;
  if (MakeGpkiCredentials(in_l_setup.m_gpki_, l_credentials) != 0) {
    out_l_error = "cannot generate the GPKI card credentials";
    return 1;
  }
  const std::vector<SlotTarget> l_targets = {
      {"user", &l_credentials.m_user_.m_certificate_, &l_credentials.m_user_.m_key_},
      {"second", &l_credentials.m_second_certificate_, nullptr}};
  if (ApplyFiles(in_l_setup, l_targets, out_l_error) != 0 ||
      Export(in_l_export_prefix, l_targets, out_l_error) != 0) {
    return 1;
  }
  out_l_card = MakeGpkiCard(in_l_setup.m_gpki_, l_credentials);
  return 0;
}

}  // namespace tavc::cardsim
