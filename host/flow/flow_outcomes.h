#pragma once
// The outcomes the parts of the run's flow hand each other. Only where a window
// message carries one does it travel as a number.
#include <cstdint>

namespace tavc {

// How the start went: the request taken, refused (its error recorded), or
// asking for a newer version of this program.
enum class [[nodiscard]] StartResult { kAccepted, kRefused, kVersionTooOld };

// Whether a worker thread was started; when not, the error is recorded where
// there is a record.
enum class [[nodiscard]] WorkerStart { kStarted, kNotStarted };

// What a card or certificate worker reports to the frame, in its message's wParam.
enum class [[nodiscard]] WorkerResult : std::uintptr_t {
  kSucceeded = 0,
  // The error is recorded.
  kFailed = 1,
  kPasswordChanged = 3,
  // The certificate is read and its session kept: the user confirms before the signing run.
  kConfirmCertificate = 5,
};

// A worker message's wParam read back; anything unknown counts as a failure.
inline WorkerResult WorkerResultOf(std::uintptr_t in_l_wparam) {
  switch (in_l_wparam & 0xFFFFU) {
    case 0: return WorkerResult::kSucceeded;
    case 3: return WorkerResult::kPasswordChanged;
    case 5: return WorkerResult::kConfirmCertificate;
    default: return WorkerResult::kFailed;
  }
}

}  // namespace tavc
