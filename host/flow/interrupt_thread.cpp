#include "host/flow/interrupt_thread.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <system_error>

#include "host/flow/tavc_std_io.h"
#include "host/state/run_object_names.h"

namespace tavc {
namespace {

constexpr std::uint16_t kModule = 0x8007;
constexpr std::uint8_t kRoutineCreate = 0x01;
constexpr std::uint8_t kPointThread = 0x01;
constexpr std::uint8_t kRoutineInterrupt = 0x02;
// The point of a watcher that ended in an exception.
constexpr std::uint8_t kPointFault = 0xFF;

// Slices of the period in which the stop event is looked at: a stop is seen
// within this time.
constexpr std::chrono::milliseconds kStopCheckSlice{20};

// Bytes of a frame's length prefix.
constexpr std::uint64_t kPrefixSize = 4;
// The watcher stops reading once this many bytes are in, message complete or not.
constexpr std::uint64_t kLastByteIndex = InterruptThread::kBufferCharacters + kPrefixSize - 1;

void SetCancelEvent() {
  platform::NamedEvent l_cancel = platform::NamedEvent::Open(CancelEventName());
  if (l_cancel.IsValid()) l_cancel.Set();
}

}  // namespace

InterruptThread::InterruptThread(platform::InputPipe& in_l_input, MessagePoster& in_l_poster,
                                 std::chrono::milliseconds in_l_period)
    : m_input_(in_l_input), m_poster_(in_l_poster), m_period_(in_l_period) {}

InterruptThread::~InterruptThread() {
  if (!m_thread_.joinable()) return;
  m_interrupt_event_.Set();
  m_thread_.join();
}

WorkerStart InterruptThread::CreateThreadForInterrupt(ErrorInfo& in_l_interrupt_error_info, DataStore& in_l_data_store) {
  m_error_info_ = &in_l_interrupt_error_info;
  m_data_store_ = &in_l_data_store;
  // Made before the thread runs, so that an end step right after the start
  // always finds it and the watcher cannot miss its stop.
  if (!m_thread_.joinable()) m_interrupt_event_ = platform::NamedEvent::Create(InterruptEventName());
  if (m_thread_.joinable() || !m_interrupt_event_.IsValid()) {
    in_l_interrupt_error_info.SetCardError(L"EW044-2499", kModule, kRoutineCreate, kPointThread);
    return WorkerStart::kNotStarted;
  }
  try {
    m_thread_ = std::thread(&InterruptThread::Interrupt, this);
  } catch (const std::system_error&) {
    in_l_interrupt_error_info.SetCardError(L"EW044-2499", kModule, kRoutineCreate, kPointThread);
    return WorkerStart::kNotStarted;
  }
  return WorkerStart::kStarted;
}

void InterruptThread::Interrupt() noexcept {
  try {
    Watch();
  } catch (...) {
    // A watcher that failed can no longer tell an end from a second request:
    // the run ends with the watcher's own code, as a broken pipe would end it.
    try {
      m_input_.Close();
      m_error_info_->SetCardError(L"EW044-2499", kModule, kRoutineInterrupt, kPointFault);
      m_data_store_->SetInterruptState(1);
      SetCancelEvent();
      m_poster_.Post(WM_APP06, 0, 0);
    } catch (...) {
      // Nothing left to report with.
    }
  }
}

void InterruptThread::Watch() {
  // Bytes of the second message, one character each, zero where none arrived.
  std::wstring l_text(kBufferCharacters, L'\0');
  std::uint64_t l_length = 0;
  std::uint64_t l_count = 0;
  bool l_input_done = false;

  while (!l_input_done && !WaitForStop()) {
    const std::int64_t l_available = m_input_.Available();
    if (l_available == platform::InputPipe::kBroken) {
      // The wrapper has gone: nobody is left to answer.
      m_input_.Close();
      RecordInterrupt(L"EW044-2400");
      SetCancelEvent();
      m_poster_.Post(WM_APP06, 0, 0);
      return;
    }
    for (std::int64_t l_i = 0; l_i < l_available && !l_input_done; ++l_i) {
      const int l_byte = m_input_.ReadByte();
      if (l_byte == platform::InputPipe::kEndOfFile) {
        l_input_done = true;
        break;
      }
      if (l_count < kPrefixSize) {
        l_length |= static_cast<std::uint64_t>(l_byte) << (8 * l_count);
      } else {
        l_text[static_cast<std::size_t>(l_count - kPrefixSize)] = static_cast<wchar_t>(l_byte);
      }
      ++l_count;
      if (l_count == kPrefixSize && (l_length == 0 || l_length == 0xFFFFFFFFu)) {
        m_input_.Close();
        RecordInterrupt(L"EW042-2400");
        m_poster_.Post(WM_APP06, 0, 0);
        return;
      }
      if (l_count >= kPrefixSize && (l_count >= l_length + kPrefixSize || l_count > kLastByteIndex)) {
        l_input_done = true;
      }
    }
  }
  m_input_.Close();
  if (!l_input_done) return;  // stopped by the end step

  const std::size_t l_parse_length = static_cast<std::size_t>(std::min<std::uint64_t>(l_length, kBufferCharacters));
  RecordInterrupt(ClassifySecondMessage(l_text, l_parse_length));
  SetCancelEvent();
  m_poster_.Post(WM_APP06, 0, 0);
}

bool InterruptThread::WaitForStop() const {
  const auto l_deadline = std::chrono::steady_clock::now() + m_period_;
  for (;;) {
    if (m_interrupt_event_.IsSignalled()) return true;
    const auto l_now = std::chrono::steady_clock::now();
    if (l_now >= l_deadline) return false;
    std::this_thread::sleep_for(std::min<std::chrono::steady_clock::duration>(kStopCheckSlice, l_deadline - l_now));
  }
}

void InterruptThread::RecordInterrupt(const wchar_t* in_l_code) {
  m_error_info_->SetError(in_l_code, L"", L"", L"");
  m_data_store_->SetInterruptState(1);
}

const wchar_t* InterruptThread::ClassifySecondMessage(const std::wstring& in_l_text, std::size_t in_l_length) {
  // Parsed into a store and record of its own: the second message changes
  // nothing of the request.
  DataStore l_store;
  ErrorInfo l_error;
  TavcStdIo l_io;
  if (l_io.ParseStdIn(in_l_text.data(), in_l_length, l_store, l_error) != 0) return L"EW042-2401";
  return l_store.GetMode() == RequestMode::kCancel ? L"EW044-2400" : L"EW042-2402";
}

}  // namespace tavc
