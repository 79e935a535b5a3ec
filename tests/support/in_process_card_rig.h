#pragma once
// cardsim's readers and cards in this process, behind VirtualSCardApi.
#include <functional>
#include <map>
#include <memory>
#include <utility>

#include "tests/support/card_rig.h"
#include "tests/support/virtual_scard_api.h"
#include "tools/cardsim/card_credentials.h"
#include "tools/cardsim/card_key.h"
#include "tools/cardsim/virtual_readers.h"

namespace tavc::test {

class InProcessCardRig final : public CardRig {
 public:
  InProcessCardRig();
  // Cards sign with this key instead of their own (for timing the host alone).
  void UseSigningKey(std::shared_ptr<const cardsim::CardKey> in_l_key) { m_signing_key_ = std::move(in_l_key); }
  // Sets up the PC/SC fake of every later Start (a T=0 reader, a stopped service...).
  void ConfigureApi(std::function<void(VirtualSCardApi&)> in_l_configure) { m_configure_ = std::move(in_l_configure); }

  bool Start(const std::vector<ReaderSetup>& in_l_readers, std::string* out_l_error) override;
  platform::SCardApi& Api() override { return *m_api_; }
  std::vector<std::uint8_t> Certificate(std::size_t in_l_reader, const std::string& in_l_slot) override;
  cardsim::VirtualReaders& Readers() { return *m_readers_; }
  std::size_t OpenHandles() const { return m_api_->OpenHandles(); }

 private:
  std::unique_ptr<cardsim::VirtualReaders> m_readers_;
  std::unique_ptr<VirtualSCardApi> m_api_;
  std::map<std::pair<std::size_t, std::string>, std::vector<std::uint8_t>> m_certificates_;
  std::shared_ptr<const cardsim::CardKey> m_signing_key_;
  std::function<void(VirtualSCardApi&)> m_configure_;
};

}  // namespace tavc::test
