#pragma once
// The virtual cards behind a real pcscd (vpcd driver and cardsim-daemon, through
// cardsim's harness), reached with the product's pcsc-lite SCardApi. With no
// reader at all, a pcscd without any reader configuration runs instead.
#include <string>
#include <sys/types.h>

#include "tests/support/card_rig.h"
#include "tools/cardsim/harness/pcscd_harness.h"

namespace tavc::test {

class PcscdCardRig final : public CardRig {
 public:
  ~PcscdCardRig() override;

  bool Start(const std::vector<ReaderSetup>& in_l_readers, std::string* out_l_error) override;
  platform::SCardApi& Api() override;
  std::vector<std::uint8_t> Certificate(std::size_t in_l_reader, const std::string& in_l_slot) override;

 private:
  bool StartWithoutReaders(std::string* out_l_error);
  void StopBare();

  cardsim::PcscdHarness m_harness_;
  int m_bare_lock_fd_ = -1;
  pid_t m_bare_pcscd_pid_ = -1;
  std::string m_bare_directory_;
};

}  // namespace tavc::test
