#include "tests/support/headless_run.h"

#include <algorithm>

#include "common/utf_conversion.h"
#include "host/flow/end_alert.h"

namespace tavc::test {
namespace {

// The loop's own message for a user action; the frame never sees it.
constexpr std::uint32_t kUserAction = 0xBFFF;

}  // namespace

void HeadlessScreen::Show() { m_run_.OnShow(*this); }

void HeadlessScreen::OnClose() {
  if (m_request_.kind == ScreenKind::kError) {
    // Codes of the 24 group shown after an interrupt end the run with kind 2.
    const std::wstring l_code = m_request_.error_info->GetCode();
    const bool l_interrupt = m_run_.Store().GetInterruptState() != 0 && l_code.size() >= 8 && l_code[6] == L'2' &&
                             l_code[7] == L'4';
    m_run_.Post(WM_APP04, l_interrupt ? 2 : 0);
  } else if (m_request_.kind == ScreenKind::kVersionInfo) {
    m_run_.Post(WM_APP04);
  } else {
    m_run_.AnswerEndAlert(true);
  }
}

HeadlessRun::HeadlessRun(platform::SCardApi& io_l_api, const std::string& in_l_request_json)
    : m_streams_(Frame(in_l_request_json)), m_api_(io_l_api) {}

HeadlessRun::~HeadlessRun() { Leftover(); }

const std::vector<QueuedMessage>& HeadlessRun::Leftover() {
  // The workers are collected with the frame; what they posted after the end stays unhandled.
  m_frame_.reset();
  m_queue_.Close();
  QueuedMessage l_message;
  while (m_queue_.Get(l_message)) {
    m_leftover_.push_back(l_message);
    FrameDispatcher::DiscardScreenMessage(l_message.message, l_message.lparam);
  }
  return m_leftover_;
}

bool HeadlessScreen::Create() { return m_window_ = m_run_.CanCreate(m_request_.kind); }

std::unique_ptr<Screen> HeadlessRun::CreateScreen(const ScreenRequest& in_l_request) {
  return std::make_unique<HeadlessScreen>(*this, in_l_request);
}

void HeadlessRun::DestroyFrame() { m_destroyed_ = true; }

void HeadlessRun::OnShow(HeadlessScreen& io_l_screen) {
  const ScreenRequest& l_request = io_l_screen.Request();
  m_shown_.push_back(ShownScreen{l_request.kind, l_request.error_info->GetCode(), l_request.error_info->GetMessage(),
                                 l_request.process_mode});
  // The result screen forgets the passwords as it opens.
  if (l_request.kind == ScreenKind::kPasswordChangeResult) {
    Store().SetPasswordType(0);
    Store().SetPassword(L"");
    Store().SetNewPassword(L"");
  }
  if (m_user_) m_user_(*this, io_l_screen);
}

bool HeadlessRun::Run(std::chrono::milliseconds in_l_limit) {
  m_deadline_ = std::chrono::steady_clock::now() + in_l_limit;
  FramePlatform l_platform{m_streams_,
                           [this](std::wstring& out_l_version) { return out_l_version = m_own_version_, true; },
                           m_input_,
                           m_api_,
                           m_registry_,
                           m_queue_,
                           *this,
                           *this,
                           [this] { return m_second_instance_ ? 1 : 0; },
                           0,
                           1.0,
                           1.0,
                           [this] { m_instance_released_after_ = static_cast<long long>(m_streams_.output.size()); }};
  m_frame_ = std::make_unique<FrameCore>(l_platform);
  m_frame_->OnCreate(reinterpret_cast<WindowHandle>(this));
  while (!m_destroyed_) {
    if (!TakeOne()) return false;
  }
  return true;
}

bool HeadlessRun::TakeOne() {
  const auto l_left = std::chrono::duration_cast<std::chrono::milliseconds>(m_deadline_ - std::chrono::steady_clock::now());
  QueuedMessage l_message;
  if (l_left.count() <= 0 || !m_queue_.GetFor(l_message, l_left)) return false;
  if (l_message.message == kUserAction) {
    m_later_[static_cast<std::size_t>(l_message.lparam)]();
    return true;
  }
  m_dispatched_.push_back(l_message);
  const auto l_started = std::chrono::steady_clock::now();
  m_frame_->OnTvnNotify(l_message.message, l_message.wparam, l_message.lparam);
  m_dispatch_times_.push_back(std::chrono::steady_clock::now() - l_started);
  return true;
}

void HeadlessRun::Later(std::function<void()> in_l_action) {
  m_later_.push_back(std::move(in_l_action));
  m_queue_.Post(kUserAction, 0, static_cast<std::intptr_t>(m_later_.size() - 1));
}

void HeadlessRun::RunModal(HeadlessModal in_l_modal, const std::function<void()>& in_l_meanwhile) {
  if (in_l_modal == HeadlessModal::kEndAlert) m_modal_alert_ = OpenEndAlert();
  m_modal_open_ = true;
  in_l_meanwhile();
  while (m_modal_open_ && !m_destroyed_ && TakeOne()) {
  }
  // Stuck, or the frame went with the modal still open: the dialog goes unanswered.
  m_modal_alert_.reset();
  m_modal_open_ = false;
}

void HeadlessRun::CloseModals() {
  if (!m_modal_open_) return;
  // What the dialog's Cancel does: the user has not ended the run.
  if (m_modal_alert_) m_modal_alert_->OnCancel();
  m_modal_alert_.reset();
  m_modal_open_ = false;
  ++m_closed_modals_;
}

std::chrono::milliseconds HeadlessRun::LongestDispatch(std::uint32_t in_l_message) const {
  std::chrono::steady_clock::duration l_longest{0};
  for (std::size_t l_i = 0; l_i < m_dispatch_times_.size(); ++l_i) {
    if (m_dispatched_[l_i].message == in_l_message) l_longest = std::max(l_longest, m_dispatch_times_[l_i]);
  }
  return std::chrono::duration_cast<std::chrono::milliseconds>(l_longest);
}

std::string HeadlessRun::Answer() const {
  std::string l_json;
  return ReadAnswerFrame(m_streams_.output, l_json) ? l_json : std::string();
}

std::vector<ScreenKind> HeadlessRun::ShownKinds() const {
  std::vector<ScreenKind> l_kinds;
  for (const ShownScreen& l_shown : m_shown_) l_kinds.push_back(l_shown.kind);
  return l_kinds;
}

void HeadlessRun::Post(std::uint32_t in_l_message, std::uintptr_t in_l_wparam) {
  // A modal dialog disables the frame: clicks and keys on a screen go nowhere.
  if (m_modal_open_) {
    ++m_refused_actions_;
    return;
  }
  m_queue_.Post(in_l_message, in_l_wparam, 0);
}

void HeadlessRun::EnterPassword(const std::wstring& in_l_password) {
  Store().SetPassword(in_l_password);
  Post(WM_APP03);
}

void HeadlessRun::ChangePassword(const std::wstring& in_l_current, const std::wstring& in_l_new) {
  Store().SetPassword(in_l_current);
  Store().SetNewPassword(in_l_new);
  Post(WM_APP03);
}

void HeadlessRun::OpenScreen(ScreenKind in_l_kind) {
  ScreenRequest l_request;
  l_request.kind = in_l_kind;
  static ErrorInfo s_no_error;
  l_request.error_info = &s_no_error;
  l_request.data_store = &Store();
  auto l_screen = CreateScreen(l_request);
  l_screen->Create();
  m_queue_.Post(WM_TVNNOTIFY, 0, reinterpret_cast<std::intptr_t>(l_screen.release()));
}

std::unique_ptr<EndAlert> HeadlessRun::OpenEndAlert() {
  auto l_alert = std::make_unique<EndAlert>(m_queue_);
  l_alert->Initialize(&m_alert_error_, &Store());
  l_alert->OnInitDialog();
  return l_alert;
}

void HeadlessRun::AnswerEndAlert(bool in_l_end) {
  const auto l_alert = OpenEndAlert();
  if (in_l_end) {
    l_alert->OnOK();
  } else {
    l_alert->OnCancel();
  }
}

std::string RequestJson(const std::string& in_l_mode, const std::string& in_l_more) {
  return "{\"mode\":\"" + in_l_mode + "\",\"latest_version\":\"1\",\"available_version\":\"1\"" + in_l_more + "}";
}

}  // namespace tavc::test
