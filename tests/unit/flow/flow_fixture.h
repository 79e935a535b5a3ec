#pragma once
// Whole runs on virtual cards in process: the request bytes in, a scripted user
// on the screens, the answer bytes out.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "tests/support/headless_run.h"
#include "tests/support/in_process_card_rig.h"
#include "tools/cardsim/credential_factory.h"
#include "tools/cardsim/fault_plan.h"

namespace tavc::test {

// DigestInfos (SHA-256) of the texts "login", "one", "two" and "three", in Base64.
inline constexpr char kDigestLogin[] = "MDEwDQYJYIZIAWUDBAIBBQAEIEKIITUOlpFJH2FrdUzYMV+4bXl6s12ENHnnMu+QZlMk";
inline constexpr char kDigestOne[] = "MDEwDQYJYIZIAWUDBAIBBQAEIHaSw601QLuAPAILOu5mzYiHEjI06gxucUPArdc/9DHt";
inline constexpr char kDigestTwo[] = "MDEwDQYJYIZIAWUDBAIBBQAEID/EzP50WHDiwNmfcfMP8GVsje3UHMHX09N2sNvmheLz";
inline constexpr char kDigestThree[] = "MDEwDQYJYIZIAWUDBAIBBQAEIItbnbDBPbJCVsgpqjZKqQxtLroxi5IypKuTE7lU01Vf";

class FlowTest : public ::testing::Test {
 protected:
  void Readers(const std::vector<ReaderSetup>& in_l_readers) {
    std::string l_error;
    ASSERT_TRUE(m_rig_.Start(in_l_readers, &l_error)) << l_error;
  }

  HeadlessRun& NewRun(const std::string& in_l_request) {
    m_run_ = std::make_unique<HeadlessRun>(m_rig_.Api(), in_l_request);
    return *m_run_;
  }

  // Runs the request to its end; the answer's JSON text ("" when none was written).
  std::string RunToEnd() {
    EXPECT_TRUE(m_run_->Run()) << "the run did not end; screens shown:" << ShownText();
    return m_run_->Answer();
  }

  std::string ShownText() const {
    std::string l_text;
    for (const ShownScreen& l_shown : m_run_->Shown()) {
      l_text += " " + std::to_string(static_cast<int>(l_shown.kind)) + "/" + std::to_string(l_shown.process_mode) +
                "/" + std::string(l_shown.code.begin(), l_shown.code.end());
    }
    return l_text;
  }

  // A user who types the given password wherever one is asked and confirms
  // whatever is shown for confirmation.
  static UserScript TypingUser(std::wstring in_l_password) {
    return [in_l_password](HeadlessRun& io_l_run, HeadlessScreen& io_l_screen) {
      switch (io_l_screen.Kind()) {
        case ScreenKind::kPasswordEntry: io_l_run.EnterPassword(in_l_password); break;
        case ScreenKind::kCertificateConfirm:
        case ScreenKind::kCertificateConfirmGpkiAp: io_l_run.Post(WM_APP03); break;
        case ScreenKind::kError: io_l_screen.OnClose(); break;
        default: break;
      }
    };
  }

  // The card of the first reader takes this long for every command from now
  // on; the reader's name.
  std::string SlowCard(std::chrono::milliseconds in_l_delay) {
    const std::string l_reader = m_rig_.Readers().ReaderNames().front();
    cardsim::FaultPlan l_slow;
    l_slow.m_delay_per_command_ = in_l_delay;
    m_rig_.Readers().EjectCard(l_reader);
    m_rig_.Readers().ReinsertCard(l_reader, l_slow);
    return l_reader;
  }

  // The signatures the card in the reader was asked for so far.
  std::size_t SignCommands(const std::string& in_l_reader) {
    std::size_t l_count = 0;
    for (const auto& l_apdu : m_rig_.Readers().CommandLog(in_l_reader)) l_count += l_apdu.size() > 1 && l_apdu[1] == 0x2A;
    return l_count;
  }

  static bool Has(const std::string& in_l_answer, const std::string& in_l_part) {
    return in_l_answer.find(in_l_part) != std::string::npos;
  }

  InProcessCardRig m_rig_;
  std::unique_ptr<HeadlessRun> m_run_;
};

}  // namespace tavc::test
