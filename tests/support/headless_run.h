#pragma once
// A whole run of TAV without windows: the request goes in as bytes, the frame's
// messages go through an in-process queue, every screen is a headless stand-in
// on which a test script acts as the user would, and the answer comes out as
// bytes.
#include <chrono>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "host/flow/end_alert.h"
#include "host/flow/frame_core.h"
#include "host/flow/message_queue.h"
#include "host/flow/screen_factory.h"
#include "platform/scard_api.h"
#include "tests/support/scripted_input.h"
#include "tests/unit/core/fake_std_streams.h"
#include "tests/unit/screens/fake_user_registry.h"

namespace tavc::test {

class HeadlessRun;

class HeadlessScreen final : public Screen {
 public:
  HeadlessScreen(HeadlessRun& io_l_run, const ScreenRequest& in_l_request) : m_run_(io_l_run), m_request_(in_l_request) {}
  // Fails for the kind the run was told cannot be created.
  bool Create() override;
  void Show() override;
  bool IsWindow() const override { return m_window_; }
  void DestroyWindow() override { m_window_ = false; }
  // A user's close: the error and version screens end the run, the others ask first.
  void OnClose() override;

  ScreenKind Kind() const { return m_request_.kind; }
  const ScreenRequest& Request() const { return m_request_; }

 private:
  HeadlessRun& m_run_;
  ScreenRequest m_request_;
  bool m_window_ = false;
};

// What the user saw: a screen and the message it showed.
struct ShownScreen {
  ScreenKind kind = ScreenKind::kError;
  std::wstring code;
  std::wstring message;
  int process_mode = 0;
};

// Called each time a screen is shown; acts through the run's user actions.
using UserScript = std::function<void(HeadlessRun&, HeadlessScreen&)>;

// The modal dialogs a screen opens over the frame.
enum class HeadlessModal { kEndAlert, kVersionInformation };

class HeadlessRun final : public ScreenFactory, public FrameHost {
 public:
  HeadlessRun(platform::SCardApi& io_l_api, const std::string& in_l_request_json);
  ~HeadlessRun() override;

  // Before Run.
  void SetUser(UserScript in_l_user) { m_user_ = std::move(in_l_user); }
  void SetOwnVersion(std::wstring in_l_version) { m_own_version_ = std::move(in_l_version); }
  void SetSecondInstance(bool in_l_second) { m_second_instance_ = in_l_second; }
  // Screens of this kind fail to be created, as a dialog whose template cannot be loaded.
  void SetUncreatable(ScreenKind in_l_kind) { m_uncreatable_ = in_l_kind; m_has_uncreatable_ = true; }
  bool CanCreate(ScreenKind in_l_kind) const { return !m_has_uncreatable_ || in_l_kind != m_uncreatable_; }
  ScriptedInput& Input() { return m_input_; }
  FakeUserRegistry& Registry() { return m_registry_; }

  // Runs the frame until it is destroyed; false when it got stuck.
  bool Run(std::chrono::milliseconds in_l_limit = std::chrono::seconds(30));

  // After (or during) Run.
  bool Answered() const { return !m_streams_.output.empty(); }
  // The JSON text of the answer frame after checking its prefix and trailing zero.
  std::string Answer() const;
  const std::vector<ShownScreen>& Shown() const { return m_shown_; }
  // How many answer bytes were out when the run let the next TAV start; -1 when it never did.
  long long InstanceReleasedAfter() const { return m_instance_released_after_; }
  std::vector<ScreenKind> ShownKinds() const;
  DataStore& Store() { return m_frame_->GetDataStore(); }

  // User actions, posted as the real screens post them.
  void Post(std::uint32_t in_l_message, std::uintptr_t in_l_wparam = 0);
  void EnterPassword(const std::wstring& in_l_password);
  void ChangePassword(const std::wstring& in_l_current, const std::wstring& in_l_new);
  // A screen that opens the next one itself (the password selection).
  void OpenScreen(ScreenKind in_l_kind);
  // Opens the end confirmation; the caller answers it with OnOK or OnCancel.
  std::unique_ptr<EndAlert> OpenEndAlert();
  // Opens the end confirmation and answers it at once.
  void AnswerEndAlert(bool in_l_end);
  // Something the user does later, taken in turn with the frame's messages as
  // input is, outside any screen's showing.
  void Later(std::function<void()> in_l_action);
  // Opens the modal and takes the frame's messages in its loop until the frame
  // closes it, as a modal dialog does; an end confirmation stays unanswered.
  // `in_l_meanwhile` acts once it is open (the caller, waiting for a worker).
  // While it is open the screens take no user action: their posts are refused.
  void RunModal(HeadlessModal in_l_modal, const std::function<void()>& in_l_meanwhile);
  int ClosedModals() const { return m_closed_modals_; }
  // User actions on screens refused because a modal was open.
  int RefusedActions() const { return m_refused_actions_; }
  // Every message the frame took.
  const std::vector<QueuedMessage>& Dispatched() const { return m_dispatched_; }
  // The longest the frame's thread spent on one message of this kind (screens'
  // user scripts included).
  std::chrono::milliseconds LongestDispatch(std::uint32_t in_l_message) const;
  // Ends the frame and its threads, and gives what was still queued for it.
  // The data store goes with the frame.
  const std::vector<QueuedMessage>& Leftover();

  // ScreenFactory and FrameHost.
  std::unique_ptr<Screen> CreateScreen(const ScreenRequest& in_l_request) override;
  void DestroyFrame() override;
  void ResizeFrame(bool) override {}
  void CloseModals() override;

 private:
  friend class HeadlessScreen;
  void OnShow(HeadlessScreen& io_l_screen);
  // Takes one message (or a user action) before the run's deadline; false once it passed.
  bool TakeOne();

  FakeStdStreams m_streams_;
  ScriptedInput m_input_;
  FakeUserRegistry m_registry_;
  MessageQueue m_queue_;
  platform::SCardApi& m_api_;
  UserScript m_user_;
  std::wstring m_own_version_ = L"1.0.0.0";
  bool m_second_instance_ = false;
  bool m_has_uncreatable_ = false;
  ScreenKind m_uncreatable_ = ScreenKind::kError;
  bool m_destroyed_ = false;
  long long m_instance_released_after_ = -1;
  std::vector<ShownScreen> m_shown_;
  std::vector<QueuedMessage> m_dispatched_;
  std::vector<std::chrono::steady_clock::duration> m_dispatch_times_;
  std::vector<QueuedMessage> m_leftover_;
  ErrorInfo m_alert_error_;
  std::chrono::steady_clock::time_point m_deadline_;
  // A deque: an action may add another while it runs.
  std::deque<std::function<void()>> m_later_;
  bool m_modal_open_ = false;
  std::unique_ptr<EndAlert> m_modal_alert_;
  int m_closed_modals_ = 0;
  int m_refused_actions_ = 0;
  std::unique_ptr<FrameCore> m_frame_;
};

// The request frame's JSON for a mode, with versions that pass the checks.
std::string RequestJson(const std::string& in_l_mode, const std::string& in_l_more = "");

}  // namespace tavc::test
