#pragma once
// What the end confirmation decides, apart from its dialog. While the alert is
// open its thread owns the mutex "EndAlert_<pid>", so that a card worker that
// finishes meanwhile waits in ExamineMutex for the user's answer and posts
// nothing when the user ends the run. The dialog calls OnInitDialog, OnOK and
// OnCancel on its own (the user-interface) thread.
#include <cstdint>

#include "host/state/data_store.h"
#include "host/state/error_info.h"
#include "host/state/message_poster.h"
#include "platform/named_mutex.h"

namespace tavc {

class EndAlert {
 public:
  // The dialog's texts, Japanese whatever the user-interface language.
  static constexpr std::uint32_t kCaptionText = 3008;
  static constexpr std::uint32_t kQuestionText = 2025;
  static constexpr std::uint32_t kOkText = 3100;
  static constexpr std::uint32_t kCancelText = 3101;

  explicit EndAlert(MessagePoster& in_l_poster);
  // A dialog torn down without an answer still lets waiting workers go on.
  ~EndAlert();
  EndAlert(const EndAlert&) = delete;
  EndAlert& operator=(const EndAlert&) = delete;

  void Initialize(ErrorInfo* in_l_error_info, DataStore* in_l_data_store);
  // Takes "EndAlert_<pid>". 0 held; 1 when an end alert is open already
  // ("EW044-1199" recorded, location 0x07010201) or the mutex cannot be made.
  int OnInitDialog();
  // The user ends the run: a running card operation is cancelled, WM_APP04
  // (wParam 0) goes to the frame and the answer becomes 1.
  void OnOK();
  // The user goes on: the answer becomes 0.
  void OnCancel();
  // The store handed to Initialize, for the dialog's layout.
  DataStore* GetDataStore() const { return m_data_store_; }

  // Waits while an end alert is open, then gives the last answer: 1 after OK,
  // 0 after Cancel or when no alert was ever answered. Returns at once when no
  // alert is open.
  static int ExamineMutex();
  // A run starts with no answer given.
  static void ResetAnswer();

 private:
  // Answer first, then release: a worker woken by the release sees the answer.
  void Answer(int in_l_flag);

  MessagePoster& m_poster_;
  ErrorInfo* m_error_info_ = nullptr;
  DataStore* m_data_store_ = nullptr;
  platform::NamedMutex m_mutex_;
  bool m_held_ = false;
};

}  // namespace tavc
