#include "host/flow/end_alert.h"

#include <atomic>

#include "host/state/run_object_names.h"
#include "platform/named_event.h"

namespace tavc {
namespace {

constexpr std::uint16_t kModule = 0x0701;
constexpr std::uint8_t kRoutineInitDialog = 0x02;
constexpr std::uint8_t kPointMutex = 0x01;

// The answer of the last end alert of this process.
std::atomic<int> g_end_alert_flag{0};

}  // namespace

EndAlert::EndAlert(MessagePoster& in_l_poster) : m_poster_(in_l_poster) {}

EndAlert::~EndAlert() {
  if (m_held_) Answer(g_end_alert_flag.load());
}

void EndAlert::Initialize(ErrorInfo* in_l_error_info, DataStore* in_l_data_store) {
  m_error_info_ = in_l_error_info;
  m_data_store_ = in_l_data_store;
}

int EndAlert::OnInitDialog() {
  bool l_existed = false;
  m_mutex_ = platform::NamedMutex::CreateOwned(EndAlertMutexName(), l_existed);
  m_held_ = m_mutex_.IsValid() && !l_existed;
  if (m_held_) return 0;
  m_mutex_.Close();
  if (l_existed && m_error_info_ != nullptr) {
    m_error_info_->SetCardError(L"EW044-1199", kModule, kRoutineInitDialog, kPointMutex);
  }
  return 1;
}

void EndAlert::OnOK() {
  platform::NamedEvent l_cancel = platform::NamedEvent::Open(CancelEventName());
  if (l_cancel.IsValid()) l_cancel.Set();
  if (!m_held_) return;
  m_poster_.Post(WM_APP04, 0, 0);
  Answer(1);
}

void EndAlert::OnCancel() {
  if (m_held_) Answer(0);
}

void EndAlert::Answer(int in_l_flag) {
  g_end_alert_flag.store(in_l_flag);
  m_mutex_.Release();
  m_mutex_.Close();
  m_held_ = false;
}

int EndAlert::ExamineMutex() {
  platform::NamedMutex l_mutex = platform::NamedMutex::Open(EndAlertMutexName());
  if (l_mutex.IsValid() && l_mutex.Wait()) l_mutex.Release();
  return g_end_alert_flag.load();
}

void EndAlert::ResetAnswer() { g_end_alert_flag.store(0); }

}  // namespace tavc
