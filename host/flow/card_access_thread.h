#pragma once
// Runs every card and certificate operation on a worker thread, one at a time,
// and reports its result by posting one message to the frame.
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "host/card/access_for_gpki_ap.h"
#include "host/card/access_for_personal_info.h"
#include "host/cert/certificate.h"
#include "host/flow/flow_outcomes.h"
#include "host/state/data_store.h"
#include "host/state/error_info.h"
#include "host/state/message_poster.h"
#include "host/state/result_data.h"
#include "platform/scard_api.h"

namespace tavc {

class CardAccessThread {
 public:
  CardAccessThread(platform::SCardApi& in_l_api, MessagePoster& in_l_poster);
  // Waits for a running worker: it uses this object to the end.
  virtual ~CardAccessThread();
  CardAccessThread(const CardAccessThread&) = delete;
  CardAccessThread& operator=(const CardAccessThread&) = delete;

  // Starters; a worker not started has its error recorded where there is a record.
  WorkerStart CreateThreadForEstablishJpki(ErrorInfo* in_l_error_info, DataStore* in_l_data_store,
                                   ResultData* in_l_result_data);
  WorkerStart CreateThreadForLogin();
  WorkerStart CreateThreadForSign();
  WorkerStart CreateThreadForEstablishPersonalInfo(ErrorInfo* in_l_error_info, DataStore* in_l_data_store,
                                           ResultData* in_l_result_data);
  WorkerStart CreateThreadForMyNumberPersonalInfo();
  WorkerStart CreateThreadForChangePassword(ErrorInfo* in_l_error_info, DataStore* in_l_data_store);
  WorkerStart CreateThreadForSignWithConfirm(Certificate* in_l_certificate);
  WorkerStart CreateThreadForSignWithCryptoAPI(ErrorInfo* in_l_error_info, DataStore* in_l_data_store,
                                       ResultData* in_l_result_data, Certificate* in_l_certificate);
  WorkerStart CreateThreadForEstablishGpkiAp(ErrorInfo* in_l_error_info, DataStore* in_l_data_store,
                                     ResultData* in_l_result_data);
  WorkerStart CreateThreadForSignGpkiAp();
  WorkerStart CreateThreadForSignGpkiApWithConfirm(Certificate* in_l_first, Certificate* in_l_second);
  WorkerStart CreateThreadForChangeGpkiApPassword(ErrorInfo* in_l_error_info, DataStore* in_l_data_store);

  // The sessions the end step closes.
  enum class EndSession { kJpki, kPersonalInfo, kGpkiAp, kCryptoAPI };
  // The end step, which must not wait on the user-interface thread: true when
  // no started worker runs any more (even one that had not opened its session
  // yet), the session then closed if it is open, so that no worker writes the
  // records the end step is about to answer with. False while one runs: the
  // last worker to leave posts WM_APP09 instead of its result, and the end step
  // is tried again then.
  bool ReleaseAtEnd(EndSession in_l_session);

  // Called on the user-interface thread; each waits for a running worker.
  void ReleaseJpki();
  void ReleasePersonalInfo();
  void ReleaseGpkiAp();
  void ReleaseCryptoAPI();
  int ValidateCardSessionJpki();
  int ValidateCardSessionPersonalInfo();
  int ValidateCardSessionGpkiAp();
  int ValidateCryptoAPI();
  // Frees a certificate object and forgets it here too.
  void DeleteCertificate(std::unique_ptr<Certificate>& io_l_certificate);

 protected:
  // Starts the body on a new thread; false when no thread could be made. It
  // never waits for an earlier worker: that one may be waiting for the user's
  // answer to the end confirmation, which this (the user-interface) thread shows.
  virtual bool StartWorker(std::function<void()> in_l_body);

 private:
  // Records the starter's failure at its location.
  WorkerStart StartFailure(std::uint8_t in_l_routine, std::uint8_t in_l_point);
  // Keeps the records for this and the later workers, checks them and starts.
  WorkerStart StartWithRecords(ErrorInfo* in_l_error_info, DataStore* in_l_data_store, ResultData* in_l_result_data,
                       bool in_l_needs_result_data, std::uint8_t in_l_routine, std::uint32_t in_l_message,
                       WorkerResult (CardAccessThread::*in_l_body)(), const wchar_t* in_l_fault_code);
  WorkerStart Start(std::uint8_t in_l_routine, std::uint8_t in_l_point, std::uint32_t in_l_message, bool in_l_guarded,
            WorkerResult (CardAccessThread::*in_l_body)(), const wchar_t* in_l_fault_code);
  // The thread's catch boundary: runs the body inside the critical section. A
  // body that throws closes the card sessions, records in_l_fault_code at the
  // starter's routine (point 0xFF) and fails, so the frame still gets its one
  // message.
  WorkerResult RunBody(WorkerResult (CardAccessThread::*in_l_body)(), const wchar_t* in_l_fault_code,
              std::uint8_t in_l_routine) noexcept;
  // Completion: a guarded result is not posted while the end alert took over.
  void Report(std::uint32_t in_l_message, WorkerResult in_l_result, bool in_l_guarded);

  WorkerResult EstablishJpki();
  WorkerResult EstablishPersonalInfo();
  WorkerResult EstablishGpkiAp();
  WorkerResult Sign();
  WorkerResult MyNumberPersonalInfo();
  WorkerResult ChangePassword();
  WorkerResult SignWithConfirm();
  WorkerResult SignWithCryptoAPI();
  WorkerResult SignGpkiAp();
  WorkerResult SignGpkiApWithConfirm();
  WorkerResult ChangeGpkiApPassword();
  // Opens the session and lets the card check the typed password; 0 when it did.
  template <typename Access>
  int OpenWithPassword(Access& io_l_access);

  MessagePoster& m_poster_;
  std::mutex m_critical_section_;
  // Guards the two below, never held while a body runs.
  std::mutex m_workers_mutex_;
  // Workers started whose bodies have not ended.
  int m_busy_workers_ = 0;
  // The end step waits for the last worker to leave.
  bool m_end_waiting_ = false;
  // Every worker started, joined when this object ends.
  std::vector<std::thread> m_workers_;
  ErrorInfo* m_error_info_ = nullptr;
  DataStore* m_data_store_ = nullptr;
  ResultData* m_result_data_ = nullptr;
  Certificate* m_certificate_ = nullptr;
  Certificate* m_second_certificate_ = nullptr;
  AccessForPersonalInfo m_access_for_personal_info_;
  AccessForGpkiAp m_access_for_gpki_ap_;
};

}  // namespace tavc
