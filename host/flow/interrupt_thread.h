#pragma once
// The interrupt watcher: while the work runs it keeps reading standard input
// after the request. A closed pipe or a second frame ends the run: the
// interrupt record gets its code, the interrupt state is set, a running card
// operation is cancelled and WM_APP06 goes to the frame.
//
// Ordering contract with the frame's thread: the watcher completes the
// interrupt record before it sets the interrupt state (release). The frame's
// thread reads the record only after it saw a non-zero
// DataStore::GetInterruptState() (acquire); a record read while the state is 0
// is not yet the watcher's. Record, state and cancel are all done before
// WM_APP06 is posted.
#include <chrono>
#include <cstddef>
#include <thread>

#include "host/flow/flow_outcomes.h"
#include "host/state/data_store.h"
#include "host/state/error_info.h"
#include "host/state/message_poster.h"
#include "platform/input_pipe.h"
#include "platform/named_event.h"

namespace tavc {

class InterruptThread {
 public:
  // How long the watcher waits on "Interrupt_<pid>" between two looks at the input.
  static constexpr std::chrono::milliseconds kPeriod{500};
  // Characters of a second message kept for parsing.
  static constexpr std::size_t kBufferCharacters = 0x2000;

  InterruptThread(platform::InputPipe& in_l_input, MessagePoster& in_l_poster,
                  std::chrono::milliseconds in_l_period = kPeriod);
  // Stops the watcher if it still runs and waits for it (at most one period):
  // it must end before the record and the data store it writes go away.
  ~InterruptThread();
  InterruptThread(const InterruptThread&) = delete;
  InterruptThread& operator=(const InterruptThread&) = delete;

  // Creates "Interrupt_<pid>" and starts the watcher on the given interrupt
  // record and data store, which must outlive this object. Not started:
  // "EW044-2499" recorded in the interrupt record.
  WorkerStart CreateThreadForInterrupt(ErrorInfo& in_l_interrupt_error_info, DataStore& in_l_data_store);

 private:
  // The thread's catch boundary around Watch: an exception ends the run with
  // "EW044-2499" (location 0x800702ff), recorded, cancelled and posted like any
  // other interrupt.
  void Interrupt() noexcept;
  void Watch();
  // True when "Interrupt_<pid>" was set within one period.
  bool WaitForStop() const;
  // Records the code, then publishes the interrupt state.
  void RecordInterrupt(const wchar_t* in_l_code);
  // The code for a complete (or cut-off) second message.
  static const wchar_t* ClassifySecondMessage(const std::wstring& in_l_text, std::size_t in_l_length);

  platform::InputPipe& m_input_;
  MessagePoster& m_poster_;
  std::chrono::milliseconds m_period_;
  ErrorInfo* m_error_info_ = nullptr;
  DataStore* m_data_store_ = nullptr;
  platform::NamedEvent m_interrupt_event_;
  std::thread m_thread_;
};

}  // namespace tavc
