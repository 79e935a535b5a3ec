#include "host/flow/event_controller.h"

#include "host/cert/certificate_factory.h"
#include "host/flow/end_alert.h"
#include "host/resources/message_texts.h"
#include "host/state/request_modes.h"
#include "host/state/run_object_names.h"

namespace tavc {
namespace {

constexpr std::uint16_t kModule = 0x8001;
constexpr std::uint8_t kRoutineExecCardRead = 0x04;
constexpr std::uint8_t kRoutineExecSignWithCryptoAPI = 0x08;
constexpr std::uint8_t kRoutineShowScreen = 0x0B;

bool IsPasswordChangeMode(RequestMode in_l_mode) {
  return in_l_mode == RequestMode::kPasswordChange || in_l_mode == RequestMode::kGpkiPasswordChange;
}

bool IsJpkiSigningMode(RequestMode in_l_mode) {
  return in_l_mode == RequestMode::kLogin || in_l_mode == RequestMode::kSign ||
         in_l_mode == RequestMode::kSignWithConfirm;
}

// The processing screen's variant while the card operation of the mode runs.
int CardReadProcessMode(RequestMode in_l_mode) {
  switch (in_l_mode) {
    case RequestMode::kPasswordChange: return 3;
    case RequestMode::kSign:
    case RequestMode::kSignWithConfirm: return 4;
    case RequestMode::kGpkiSign:
    case RequestMode::kGpkiSignWithConfirm: return 6;
    case RequestMode::kGpkiPasswordChange: return 7;
    case RequestMode::kUnknown:
    case RequestMode::kLogin:
    case RequestMode::kMyNumberInfo:
    case RequestMode::kPersonalInfo:
    case RequestMode::kCancel: return 1;
  }
  return 1;
}

// Results travel in the low 16 bits of wParam.
}  // namespace

EventController::EventController(EventServices in_l_services) : m_services_(in_l_services) {}

EventController::~EventController() = default;

std::unique_ptr<Screen> EventController::MakeScreen(ScreenKind in_l_kind, ErrorInfo& in_l_error_info,
                                                    int in_l_process_mode, ResultData* in_l_result_data,
                                                    Certificate* in_l_certificate,
                                                    Certificate* in_l_second_certificate) {
  // Only the log-in password screen speaks English, and only when the page asks for it.
  const bool l_english = in_l_kind == ScreenKind::kPasswordEntry && m_data_store_->GetMode() == RequestMode::kLogin &&
                         m_data_store_->GetLanguage() == L"en";
  SetMessageLanguage(l_english ? L"en" : L"ja");
  ScreenRequest l_request;
  l_request.kind = in_l_kind;
  l_request.error_info = &in_l_error_info;
  l_request.data_store = m_data_store_;
  l_request.process_mode = in_l_process_mode;
  l_request.result_data = in_l_result_data;
  l_request.certificate = in_l_certificate;
  l_request.second_certificate = in_l_second_certificate;
  return m_services_.screens.CreateScreen(l_request);
}

void EventController::ShowScreen(std::unique_ptr<Screen> in_l_screen, std::uintptr_t in_l_wparam) {
  if (!in_l_screen || !in_l_screen->Create()) {
    // A screen that cannot be shown would leave the user before an empty frame
    // and the page without an answer: the run ends with the reason instead.
    m_error_info_.SetCardError(L"EW044-0199", kModule, kRoutineShowScreen, 1);
    m_end_error_info_ = m_error_info_;
    m_services_.poster.Post(WM_APP04, 0, 0);
    return;
  }
  Screen* l_screen = in_l_screen.release();
  // The frame takes the screen with the message; if the frame is gone it is freed here.
  if (!m_services_.poster.Post(WM_TVNNOTIFY, in_l_wparam, reinterpret_cast<std::intptr_t>(l_screen))) {
    std::unique_ptr<Screen> l_lost(l_screen);
    l_lost->DestroyWindow();
  }
}

void EventController::ShowScreen(ScreenKind in_l_kind) { ShowScreen(MakeScreen(in_l_kind, m_error_info_)); }

void EventController::ShowProcessingScreen(int in_l_process_mode, Certificate* in_l_certificate) {
  ShowScreen(MakeScreen(ScreenKind::kProcessing, m_error_info_, in_l_process_mode, &m_result_data_, in_l_certificate));
}

void EventController::ShowErrorScreen() {
  m_end_error_info_ = m_error_info_;
  ShowScreen(ScreenKind::kError);
}

void EventController::ShowCardRequestScreen() {
  if (m_card_init_flg_ == 1) {
    m_error_info_.SetError(L"", L"", L"", L"");
    m_end_error_info_ = m_error_info_;
  }
  ShowScreen(ScreenKind::kCardRequest);
  m_card_init_flg_ = 0;
}

std::unique_ptr<Screen> EventController::ExecStartShowing(StartResult in_l_start_result,
                                                          ErrorInfo& io_l_start_error) {
  m_card_init_flg_ = 1;
  if (in_l_start_result == StartResult::kVersionTooOld) {
    m_error_info_ = io_l_start_error;
    return MakeScreen(ScreenKind::kVersionInfo, m_error_info_);
  }
  auto l_error_screen = [this](const ErrorInfo& in_l_error) {
    m_error_info_ = in_l_error;
    m_end_error_info_ = in_l_error;
    return MakeScreen(ScreenKind::kError, m_error_info_);
  };
  if (in_l_start_result != StartResult::kAccepted) return l_error_screen(io_l_start_error);

  const RequestMode l_mode = m_data_store_->GetMode();
  if (IsSigningMode(l_mode)) m_cancel_event_ = platform::NamedEvent::Create(CancelEventName());
  if (!IsPasswordChangeMode(l_mode) &&
      m_services_.interrupt_thread.CreateThreadForInterrupt(m_interrupt_error_info_, *m_data_store_) !=
          WorkerStart::kStarted) {
    return l_error_screen(m_interrupt_error_info_);
  }
  if (m_services_.start_up_check.GetUuid(&io_l_start_error, &m_result_data_, m_data_store_) != 0) {
    return l_error_screen(io_l_start_error);
  }
  if (StartUpCheck::CheckVersion(m_data_store_, &io_l_start_error) != 0) {
    m_error_info_ = io_l_start_error;
    return MakeScreen(ScreenKind::kVersionInfo, m_error_info_);
  }
  auto l_processing = MakeScreen(ScreenKind::kProcessing, m_error_info_);
  const bool l_certificate_choice =
      !m_data_store_->GetCertificateType().empty() || !m_data_store_->GetFilePath().empty();
  m_services_.poster.Post(l_certificate_choice ? WM_APP07 : WM_APP01, 0, 0);
  return l_processing;
}

void EventController::ExecStartUp() {
  const RequestMode l_mode = m_data_store_->GetMode();
  CardAccessThread& l_access = m_services_.card_access;
  WorkerStart l_start = WorkerStart::kNotStarted;
  switch (l_mode) {
    case RequestMode::kPasswordChange:
    case RequestMode::kGpkiPasswordChange: m_services_.poster.Post(WM_APP02, 0, 0); return;
    case RequestMode::kLogin:
    case RequestMode::kSign:
    case RequestMode::kSignWithConfirm:
      ShowProcessingScreen(l_mode == RequestMode::kLogin ? 1 : 4);
      l_start = l_access.CreateThreadForEstablishJpki(&m_error_info_, m_data_store_, &m_result_data_);
      break;
    case RequestMode::kGpkiSign:
    case RequestMode::kGpkiSignWithConfirm:
      ShowProcessingScreen(5);
      l_start = l_access.CreateThreadForEstablishGpkiAp(&m_error_info_, m_data_store_, &m_result_data_);
      break;
    case RequestMode::kUnknown:
    case RequestMode::kMyNumberInfo:
    case RequestMode::kPersonalInfo:
    case RequestMode::kCancel:
      ShowProcessingScreen(1);
      l_start = l_access.CreateThreadForEstablishPersonalInfo(&m_error_info_, m_data_store_, &m_result_data_);
      break;
  }
  if (l_start != WorkerStart::kStarted) ShowErrorScreen();
}

void EventController::ExecCardInitResult(WorkerResult in_l_result) {
  if (in_l_result != WorkerResult::kSucceeded) {
    if (m_error_info_.GetCategory() == L"1") {
      ShowCardRequestScreen();
    } else {
      ShowErrorScreen();
    }
    return;
  }
  m_error_info_.SetError(L"", L"", L"", L"");
  m_end_error_info_ = m_error_info_;
  const RequestMode l_mode = m_data_store_->GetMode();
  if (l_mode == RequestMode::kPasswordChange) {
    ShowScreen(m_data_store_->GetPasswordType() == 0 ? ScreenKind::kPasswordSelect : ScreenKind::kPasswordChange);
  } else if (l_mode == RequestMode::kGpkiPasswordChange) {
    ShowScreen(ScreenKind::kPasswordChange);
  } else {
    ShowScreen(ScreenKind::kPasswordEntry);
  }
}

bool EventController::CreateCertificates() {
  auto l_create = [this] {
    return CertificateFactory::CreateCertificate(m_data_store_, &m_result_data_, &m_error_info_,
                                                 m_services_.scard_api);
  };
  const RequestMode l_mode = m_data_store_->GetMode();
  if (l_mode == RequestMode::kSignWithConfirm && !m_certificate_) m_certificate_ = l_create();
  if (l_mode == RequestMode::kGpkiSignWithConfirm && (!m_certificate_ || !m_second_certificate_)) {
    m_data_store_->SetCertificateType(L"019");
    m_certificate_ = l_create();
    m_second_certificate_ = l_create();
  }
  return m_certificate_ && (l_mode != RequestMode::kGpkiSignWithConfirm || m_second_certificate_);
}

void EventController::ExecCardRead() {
  const RequestMode l_mode = m_data_store_->GetMode();
  ShowProcessingScreen(CardReadProcessMode(l_mode));

  CardAccessThread& l_access = m_services_.card_access;
  WorkerStart l_start = WorkerStart::kNotStarted;
  switch (l_mode) {
    case RequestMode::kLogin: l_start = l_access.CreateThreadForLogin(); break;
    case RequestMode::kSign: l_start = l_access.CreateThreadForSign(); break;
    case RequestMode::kMyNumberInfo:
    case RequestMode::kPersonalInfo: l_start = l_access.CreateThreadForMyNumberPersonalInfo(); break;
    case RequestMode::kPasswordChange:
      l_start = l_access.CreateThreadForChangePassword(&m_error_info_, m_data_store_);
      break;
    case RequestMode::kGpkiSign: l_start = l_access.CreateThreadForSignGpkiAp(); break;
    case RequestMode::kGpkiPasswordChange:
      l_start = l_access.CreateThreadForChangeGpkiApPassword(&m_error_info_, m_data_store_);
      break;
    case RequestMode::kSignWithConfirm:
    case RequestMode::kGpkiSignWithConfirm:
      if (!CreateCertificates()) {
        m_error_info_.SetCardError(L"EW044-0199", kModule, kRoutineExecCardRead, 1);
      } else if (l_mode == RequestMode::kSignWithConfirm) {
        l_start = l_access.CreateThreadForSignWithConfirm(m_certificate_.get());
      } else {
        l_start = l_access.CreateThreadForSignGpkiApWithConfirm(m_certificate_.get(), m_second_certificate_.get());
      }
      break;
    case RequestMode::kUnknown:
    case RequestMode::kCancel: m_error_info_.SetCardError(L"EW044-0199", kModule, kRoutineExecCardRead, 2); break;
  }
  if (l_start != WorkerStart::kStarted) ShowErrorScreen();
}

void EventController::ExecCardReadResult(WorkerResult in_l_result) {
  switch (in_l_result) {
    case WorkerResult::kSucceeded: m_services_.poster.Post(WM_APP04, 0, 0); return;
    case WorkerResult::kPasswordChanged:
      m_result_data_.SetPasswordChanged();
      ShowScreen(ScreenKind::kPasswordChangeResult);
      return;
    case WorkerResult::kConfirmCertificate:
      if (m_data_store_->GetMode() == RequestMode::kGpkiSignWithConfirm) {
        ShowScreen(MakeScreen(ScreenKind::kCertificateConfirmGpkiAp, m_error_info_, 0, nullptr, m_certificate_.get(),
                              m_second_certificate_.get()));
      } else {
        ShowScreen(MakeScreen(ScreenKind::kCertificateConfirm, m_error_info_, 0, nullptr, m_certificate_.get()));
      }
      return;
    case WorkerResult::kFailed: break;
  }
  const bool l_password_change = m_data_store_->GetMode() == RequestMode::kPasswordChange;
  const std::wstring l_category = m_error_info_.GetCategory();
  // A card that was not ready changed nothing; any other failure is the change's own.
  if (l_password_change && l_category != L"1") m_result_data_.SetPasswordChangeError(m_error_info_.GetCode());
  if (l_category == L"1") {
    ShowCardRequestScreen();
    if (m_certificate_) m_services_.card_access.DeleteCertificate(m_certificate_);
  } else if (l_category == L"2") {
    ShowScreen(ScreenKind::kPasswordEntry);
  } else if (l_category == L"4") {
    ShowScreen(ScreenKind::kPasswordChange);
  } else if (l_category == L"5") {
    ShowScreen(ScreenKind::kPasswordChangeResult);
  } else {
    ShowErrorScreen();
  }
}

void EventController::ExecSignWithCryptoAPI() {
  if (!m_certificate_) {
    m_certificate_ = CertificateFactory::CreateCertificate(m_data_store_, &m_result_data_, &m_error_info_,
                                                           m_services_.scard_api);
  }
  if (!m_certificate_) {
    m_error_info_.SetCardError(L"EW044-0199", kModule, kRoutineExecSignWithCryptoAPI, 1);
    ShowErrorScreen();
    return;
  }
  ShowProcessingScreen(4, m_certificate_.get());
  if (m_services_.card_access.CreateThreadForSignWithCryptoAPI(&m_error_info_, m_data_store_, &m_result_data_,
                                                               m_certificate_.get()) != WorkerStart::kStarted) {
    ShowErrorScreen();
  }
}

void EventController::ExecSignWithCryptoAPIResult(WorkerResult in_l_result) {
  switch (in_l_result) {
    case WorkerResult::kConfirmCertificate:
      ShowScreen(MakeScreen(ScreenKind::kCertificateConfirm, m_error_info_, 0, nullptr, m_certificate_.get()));
      return;
    case WorkerResult::kSucceeded: m_services_.poster.Post(WM_APP04, 0, 0); return;
    case WorkerResult::kPasswordChanged:
    case WorkerResult::kFailed: ShowErrorScreen(); return;
  }
}

void EventController::ExecInterrupt() { ShowScreen(MakeScreen(ScreenKind::kError, m_interrupt_error_info_), 2); }

bool EventController::ReleaseSessions() {
  using EndSession = CardAccessThread::EndSession;
  const RequestMode l_mode = m_data_store_->GetMode();
  const bool l_gpki = IsGpkiMode(l_mode);
  EndSession l_session = EndSession::kPersonalInfo;
  if (!m_data_store_->GetCertificateType().empty() || !m_data_store_->GetFilePath().empty()) {
    l_session = l_gpki ? EndSession::kGpkiAp : EndSession::kCryptoAPI;
  } else if (IsJpkiSigningMode(l_mode)) {
    l_session = EndSession::kJpki;
  } else if (l_gpki) {
    // Modes "11" and "13" carry no certificate type; their GPKI session is
    // closed here all the same.
    l_session = EndSession::kGpkiAp;
  }
  return m_services_.card_access.ReleaseAtEnd(l_session);
}

void EventController::AnswerNow(const ErrorInfo& in_l_error) {
  ErrorInfo l_answered = in_l_error;
  m_services_.std_io.WriteToStdOut(*m_data_store_, m_result_data_, 0, l_answered);
  m_answered_ = true;
}

bool EventController::ExecEnd() {
  if (!ReleaseSessions()) {
    // A signing loop stops before its next digest; the window stays responsive
    // meanwhile, and the answer waits until the card is free.
    if (m_cancel_event_.IsValid()) m_cancel_event_.Set();
    m_ending_ = true;
    return false;
  }
  m_ending_ = false;
  m_error_info_ = m_end_error_info_;
  const int l_end_alert_flag = EndAlert::ExamineMutex();
  // The watcher completes its record before it publishes the state: the record
  // is read only once the state says it is complete.
  const bool l_interrupted = m_data_store_->GetInterruptState() != 0;
  if (l_interrupted) m_end_error_info_ = m_interrupt_error_info_;
  if (!m_answered_ && (!l_interrupted || m_interrupt_error_info_.GetCode() != L"EW044-2400")) {
    m_services_.std_io.WriteToStdOut(*m_data_store_, m_result_data_, l_end_alert_flag, m_end_error_info_);
  }
  m_answered_ = true;
  // A page may send its next request at once; that TAV must not find this one running.
  if (m_services_.answer_written) m_services_.answer_written();
  if (m_certificate_) m_services_.card_access.DeleteCertificate(m_certificate_);
  if (m_second_certificate_) m_services_.card_access.DeleteCertificate(m_second_certificate_);
  platform::NamedEvent l_interrupt = platform::NamedEvent::Open(InterruptEventName());
  if (l_interrupt.IsValid()) l_interrupt.Set();
  l_interrupt.Close();
  m_cancel_event_.Close();
  return true;
}

}  // namespace tavc
