#include "host/flow/frame_core.h"

#include "host/flow/end_alert.h"

namespace tavc {
namespace {

// Where an unexpected failure of the frame's dispatch is recorded.
constexpr std::uint16_t kFrameModule = 0x8001;
constexpr std::uint8_t kRoutineDispatch = 0x0C;

}  // namespace

FrameCore::FrameCore(FramePlatform in_l_platform)
    : m_platform_(std::move(in_l_platform)),
      m_std_io_(m_platform_.std_streams, m_platform_.version_reader),
      m_start_up_check_(m_platform_.user_registry),
      m_event_controller_(EventServices{m_platform_.poster, m_platform_.screens, m_card_access_thread_,
                                        m_interrupt_thread_, m_start_up_check_, m_std_io_, m_platform_.scard_api,
                                        m_platform_.release_single_instance}),
      m_interrupt_thread_(m_platform_.input_pipe, m_platform_.poster),
      m_card_access_thread_(m_platform_.scard_api, m_platform_.poster),
      m_dispatcher_(m_data_store_, m_event_controller_, m_platform_.host) {
  EndAlert::ResetAnswer();
  m_data_store_.SetInterruptState(0);
  m_data_store_.SetIntegrityLevel(m_platform_.integrity_level);
  m_data_store_.SetScaleX(m_platform_.scale_x == 0.0 ? 1.0 : m_platform_.scale_x);
  m_data_store_.SetScaleY(m_platform_.scale_y == 0.0 ? 1.0 : m_platform_.scale_y);
  m_read_result_ = m_std_io_.ReadFromStdIn(m_data_store_, m_start_error_info_);
  if (m_read_result_ == StartResult::kAccepted && m_platform_.check_multiple_startup) {
    m_multiple_start_result_ = m_platform_.check_multiple_startup();
    if (m_multiple_start_result_ == 1) {
      m_start_error_info_.SetError(L"EW040-0200", L"", L"", L"");
      // The page has its answer before the box shows, however long the box stays.
      m_event_controller_.Initialize(&m_data_store_);
      m_event_controller_.AnswerNow(m_start_error_info_);
    }
  }
}

FrameCore::~FrameCore() = default;

StartResult FrameCore::GetStartResult() const {
  if (m_multiple_start_result_ != 0) return StartResult::kRefused;
  return m_read_result_;
}

void FrameCore::EndOnUnexpectedFailure() {
  if (!m_event_controller_.HasAnswered()) {
    ErrorInfo l_error;
    l_error.SetCardError(L"EW044-0199", kFrameModule, kRoutineDispatch, 1);
    m_event_controller_.Initialize(&m_data_store_);
    m_event_controller_.AnswerNow(l_error);
  }
  m_platform_.host.DestroyFrame();
}

void FrameCore::OnCreate(WindowHandle in_l_frame) {
  m_data_store_.SetScreenHandle(in_l_frame);
  m_dispatcher_.Start(GetStartResult(), m_start_error_info_);
}

}  // namespace tavc
