// The caller ends the run while a modal dialog is open over a screen: the
// modal goes, the interrupt notice shows and its OK ends the run. A modal left
// open would own the input and keep TAV, and with it every later request,
// waiting for ever.
#include <thread>

#include "host/flow/end_alert.h"
#include "tests/unit/flow/flow_fixture.h"

namespace tavc::test {
namespace {

using namespace std::chrono_literals;

enum class Caller { kCancels, kGoes, kSendsAnotherRequest };

void Act(HeadlessRun& io_l_run, Caller in_l_caller) {
  switch (in_l_caller) {
    case Caller::kCancels: io_l_run.Input().Feed(Frame("{\"mode\":\"05\"}")); break;
    case Caller::kGoes: io_l_run.Input().Break(); break;
    case Caller::kSendsAnotherRequest: io_l_run.Input().Feed(Frame("{\"mode\":\"01\"}")); break;
  }
}

class InterruptOverModalFlowTest : public FlowTest {
 protected:
  // A user who gets to `in_l_screen` (typing the password, confirming nothing)
  // and opens the modal there, while which the caller acts; the notice's OK
  // then ends the run.
  UserScript ModalUser(ScreenKind in_l_screen, HeadlessModal in_l_modal, std::function<void()> in_l_meanwhile) {
    return [this, in_l_screen, in_l_modal, in_l_meanwhile](HeadlessRun& io_l_run, HeadlessScreen& io_l_screen) {
      if (io_l_screen.Kind() == in_l_screen && !m_opened_) {
        m_opened_ = true;
        io_l_run.Later([&io_l_run, in_l_modal, in_l_meanwhile] { io_l_run.RunModal(in_l_modal, in_l_meanwhile); });
      } else if (io_l_screen.Kind() == ScreenKind::kPasswordEntry) {
        io_l_run.EnterPassword(io_l_run.Store().GetMode() == RequestMode::kGpkiSignWithConfirm ? L"GPKI1234" : L"ABC123");
      } else if (io_l_screen.Kind() == ScreenKind::kError && m_opened_) {
        io_l_screen.OnClose();
      }
    };
  }

  bool m_opened_ = false;
};

TEST_F(InterruptOverModalFlowTest, TheModalClosesTheNoticeShowsAndItsOkEnds) {
  struct Case {
    const char* name;
    CardKind card;
    unsigned pin_tries;
    std::string request;
    ScreenKind screen;
    HeadlessModal modal;
    Caller caller;
    // The answer's error code; none when the caller is gone.
    const char* code;
  };
  const std::string l_digest = std::string(",\"digest\":[\"") + kDigestOne + "\"]";
  const std::string l_log_in = RequestJson("01", l_digest);
  const std::string l_newer_exists = "{\"mode\":\"01\",\"latest_version\":\"2\",\"available_version\":\"1\"" + l_digest + "}";
  const Case l_cases[] = {
      {"password entry, end confirmation, cancel", CardKind::kMyNumber, 3, l_log_in, ScreenKind::kPasswordEntry,
       HeadlessModal::kEndAlert, Caller::kCancels, nullptr},
      {"password entry, end confirmation, page gone", CardKind::kMyNumber, 3, l_log_in, ScreenKind::kPasswordEntry,
       HeadlessModal::kEndAlert, Caller::kGoes, nullptr},
      {"password entry, end confirmation, another request", CardKind::kMyNumber, 3, l_log_in,
       ScreenKind::kPasswordEntry, HeadlessModal::kEndAlert, Caller::kSendsAnotherRequest, "EW042-2402"},
      {"password entry, version information", CardKind::kMyNumber, 3, l_log_in, ScreenKind::kPasswordEntry,
       HeadlessModal::kVersionInformation, Caller::kCancels, nullptr},
      {"card request, end confirmation", CardKind::kEmpty, 3, l_log_in, ScreenKind::kCardRequest,
       HeadlessModal::kEndAlert, Caller::kGoes, nullptr},
      {"card request, version information", CardKind::kEmpty, 3, l_log_in, ScreenKind::kCardRequest,
       HeadlessModal::kVersionInformation, Caller::kSendsAnotherRequest, "EW042-2402"},
      {"certificate confirmation, end confirmation", CardKind::kMyNumber, 3, RequestJson("07", l_digest),
       ScreenKind::kCertificateConfirm, HeadlessModal::kEndAlert, Caller::kCancels, nullptr},
      {"certificate confirmation, version information", CardKind::kMyNumber, 3, RequestJson("07", l_digest),
       ScreenKind::kCertificateConfirm, HeadlessModal::kVersionInformation, Caller::kGoes, nullptr},
      {"GPKI confirmation, end confirmation", CardKind::kGpki, 3, RequestJson("12", l_digest),
       ScreenKind::kCertificateConfirmGpkiAp, HeadlessModal::kEndAlert, Caller::kSendsAnotherRequest, "EW042-2402"},
      {"GPKI confirmation, version information", CardKind::kGpki, 3, RequestJson("12", l_digest),
       ScreenKind::kCertificateConfirmGpkiAp, HeadlessModal::kVersionInformation, Caller::kCancels, nullptr},
      {"version notice, version information", CardKind::kMyNumber, 3, l_newer_exists, ScreenKind::kVersionInfo,
       HeadlessModal::kVersionInformation, Caller::kCancels, nullptr},
      {"error screen, version information", CardKind::kMyNumber, 0, l_log_in, ScreenKind::kError,
       HeadlessModal::kVersionInformation, Caller::kSendsAnotherRequest, "EW042-2402"},
  };
  for (const Case& l_case : l_cases) {
    SCOPED_TRACE(l_case.name);
    EndAlert::ResetAnswer();
    m_opened_ = false;
    Readers({{l_case.card, l_case.pin_tries}});
    HeadlessRun& l_run = NewRun(l_case.request);
    l_run.SetUser(ModalUser(l_case.screen, l_case.modal, [&l_run, &l_case] { Act(l_run, l_case.caller); }));
    const std::string l_answer = RunToEnd();
    if (l_case.code == nullptr) {
      EXPECT_FALSE(l_run.Answered()) << l_answer;
    } else {
      EXPECT_TRUE(Has(l_answer, std::string("\"errcode\":\"") + l_case.code + "\"")) << l_answer;
    }
    EXPECT_EQ(1, l_run.ClosedModals());
    EXPECT_EQ(0, l_run.RefusedActions()) << "the notice's OK was not taken";
    ASSERT_FALSE(l_run.Shown().empty());
    EXPECT_EQ(ScreenKind::kError, l_run.Shown().back().kind);
    EXPECT_EQ(l_case.code == nullptr ? L"EW044-2400" : L"EW042-2402", l_run.Shown().back().code);
    EXPECT_EQ(0, EndAlert::ExamineMutex()) << "the interrupt, not the user, ended the run";
  }
}

// The signing worker finishes while the end confirmation is open and waits for
// the answer; the caller's second request closes the confirmation. The worker
// goes on, and its result, posted after the interrupt, changes nothing.
TEST_F(InterruptOverModalFlowTest, AWorkerThatWaitedForTheConfirmationDoesNotOvertakeTheInterrupt) {
  Readers({{CardKind::kMyNumber}});
  const std::string l_reader = SlowCard(40ms);
  EndAlert::ResetAnswer();
  bool l_entered = false;
  HeadlessRun& l_run =
      NewRun(RequestJson("02", std::string(",\"digest\":[\"") + kDigestOne + "\",\"" + kDigestTwo + "\"]"));
  l_run.SetUser([&](HeadlessRun& io_l_run, HeadlessScreen& io_l_screen) {
    if (io_l_screen.Kind() == ScreenKind::kPasswordEntry) {
      io_l_run.EnterPassword(L"ABC123");
      l_entered = true;
    } else if (io_l_screen.Kind() == ScreenKind::kProcessing && l_entered && !m_opened_) {
      m_opened_ = true;
      io_l_run.Later([&] {
        io_l_run.RunModal(HeadlessModal::kEndAlert, [&] {
          // Both digests signed, the card left: the worker waits on the confirmation.
          const auto l_deadline = std::chrono::steady_clock::now() + 20s;
          while (SignCommands(l_reader) < 2 && std::chrono::steady_clock::now() < l_deadline) {
            std::this_thread::sleep_for(5ms);
          }
          std::this_thread::sleep_for(400ms);
          Act(io_l_run, Caller::kSendsAnotherRequest);
        });
      });
    } else if (io_l_screen.Kind() == ScreenKind::kError) {
      io_l_screen.OnClose();
    }
  });
  EXPECT_EQ("{\r\n  \"mode\":\"02\",\r\n  \"result\":\"1\",\r\n  \"errcode\":\"EW042-2402\"\r\n}", RunToEnd());
  EXPECT_EQ(2U, SignCommands(l_reader));
  EXPECT_EQ(ScreenKind::kError, l_run.Shown().back().kind);
  EXPECT_EQ(0U, m_rig_.OpenHandles());
  // The worker did not hang: its result went out once the confirmation closed.
  std::size_t l_results = 0;
  for (const auto* l_messages : {&l_run.Dispatched(), &l_run.Leftover()}) {
    for (const QueuedMessage& l_message : *l_messages) l_results += l_message.message == WM_APP05;
  }
  EXPECT_EQ(1U, l_results);
}

}  // namespace
}  // namespace tavc::test
