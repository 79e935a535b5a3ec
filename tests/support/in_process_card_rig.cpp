#include "tests/support/in_process_card_rig.h"

#include "tools/cardsim/credential_factory.h"
#include "tools/cardsim/gpki_card.h"
#include "tools/cardsim/key_pool.h"
#include "tools/cardsim/my_number_card.h"

namespace tavc::test {

InProcessCardRig::InProcessCardRig()
    : m_readers_(std::make_unique<cardsim::VirtualReaders>()), m_api_(std::make_unique<VirtualSCardApi>(*m_readers_)) {}

bool InProcessCardRig::Start(const std::vector<ReaderSetup>& in_l_readers, std::string* out_l_error) {
  m_readers_ = std::make_unique<cardsim::VirtualReaders>();
  m_api_ = std::make_unique<VirtualSCardApi>(*m_readers_);
  if (m_configure_) m_configure_(*m_api_);
  m_certificates_.clear();
  for (std::size_t l_i = 0; l_i < in_l_readers.size(); ++l_i) {
    const ReaderSetup& l_setup = in_l_readers[l_i];
    const std::string l_name = "Virtual Reader " + std::to_string(l_i);
    m_readers_->AddReader(l_name);
    cardsim::FaultPlan l_faults;
    l_faults.m_remove_at_command_ = l_setup.remove_at_command;
    std::unique_ptr<cardsim::IsoCard> l_card;
    if (l_setup.kind == CardKind::kMyNumber) {
      cardsim::MyNumberCardProfile l_profile;
      l_profile.m_auth_pin_.m_tries_left_ = l_setup.auth_pin_tries;
      cardsim::MyNumberCredentials l_credentials;
      if (cardsim::MakeMyNumberCredentials(l_profile, l_credentials) != 0) {
        *out_l_error = "cannot make the My Number card's credentials";
        return false;
      }
      m_certificates_[{l_i, "auth"}] = l_credentials.m_auth_.m_certificate_;
      m_certificates_[{l_i, "sign"}] = l_credentials.m_sign_.m_certificate_;
      if (m_signing_key_) {
        l_credentials.m_auth_.m_key_ = m_signing_key_;
        l_credentials.m_sign_.m_key_ = m_signing_key_;
      }
      l_card = cardsim::MakeMyNumberCard(l_profile, l_credentials);
    } else if (l_setup.kind == CardKind::kGpki) {
      const cardsim::GpkiCardProfile l_profile;
      cardsim::GpkiCredentials l_credentials;
      if (cardsim::MakeGpkiCredentials(l_profile, l_credentials) != 0) {
        *out_l_error = "cannot make the GPKI card's credentials";
        return false;
      }
      m_certificates_[{l_i, "user"}] = l_credentials.m_user_.m_certificate_;
      if (m_signing_key_) l_credentials.m_user_.m_key_ = m_signing_key_;
      l_card = cardsim::MakeGpkiCard(l_profile, l_credentials);
    }
    if (l_card && m_readers_->InsertCard(l_name, std::move(l_card), l_faults) != 0) {
      *out_l_error = "cannot insert the card into " + l_name;
      return false;
    }
  }
  return true;
}

std::vector<std::uint8_t> InProcessCardRig::Certificate(std::size_t in_l_reader, const std::string& in_l_slot) {
  const auto l_it = m_certificates_.find({in_l_reader, in_l_slot});
  return l_it == m_certificates_.end() ? std::vector<std::uint8_t>() : l_it->second;
}

}  // namespace tavc::test
