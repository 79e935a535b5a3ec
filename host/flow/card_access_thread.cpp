#include "host/flow/card_access_thread.h"

#include <chrono>
#include <system_error>

#include "host/flow/end_alert.h"

namespace tavc {
namespace {

constexpr std::uint16_t kModule = 0x8002;
// Lets the card settle after the last signature before the session closes.
constexpr std::chrono::milliseconds kAfterSigning{100};
const wchar_t kIssuerRefused[] = L"EW244-3500";
// The point of a body that ended in an exception, after every check's point.
constexpr std::uint8_t kPointFault = 0xFF;
// Each worker's generic code: the one of the card or certificate operation it
// is built around.
const wchar_t kFaultEstablishIdCard[] = L"EW044-2099";
const wchar_t kFaultSignIdCard[] = L"EW044-1899";
const wchar_t kFaultPersonalInfo[] = L"EW044-2299";
const wchar_t kFaultChangeIdCardPassword[] = L"EW044-3199";
const wchar_t kFaultSignWithCryptoAPI[] = L"EW044-3399";
const wchar_t kFaultEstablishGpkiAp[] = L"EW044-3999";
const wchar_t kFaultSignGpkiAp[] = L"EW044-4599";
const wchar_t kFaultChangeGpkiApPassword[] = L"EW044-4699";

// A chain of card or certificate steps, 0 when every step succeeded.
WorkerResult Outcome(int in_l_steps) { return in_l_steps == 0 ? WorkerResult::kSucceeded : WorkerResult::kFailed; }

}  // namespace

CardAccessThread::CardAccessThread(platform::SCardApi& in_l_api, MessagePoster& in_l_poster)
    : m_poster_(in_l_poster), m_access_for_personal_info_(in_l_api), m_access_for_gpki_ap_(in_l_api) {}

CardAccessThread::~CardAccessThread() {
  for (std::thread& l_worker : m_workers_) l_worker.join();
}

bool CardAccessThread::StartWorker(std::function<void()> in_l_body) {
  try {
    m_workers_.reserve(m_workers_.size() + 1);
    m_workers_.emplace_back(std::move(in_l_body));
  } catch (const std::exception&) {
    return false;
  }
  return true;
}

WorkerStart CardAccessThread::StartFailure(std::uint8_t in_l_routine, std::uint8_t in_l_point) {
  if (m_error_info_ != nullptr) m_error_info_->SetCardError(L"EW044-0199", kModule, in_l_routine, in_l_point);
  return WorkerStart::kNotStarted;
}

WorkerStart CardAccessThread::Start(std::uint8_t in_l_routine, std::uint8_t in_l_point, std::uint32_t in_l_message,
                                    bool in_l_guarded, WorkerResult (CardAccessThread::*in_l_body)(),
                                    const wchar_t* in_l_fault_code) {
  {
    std::lock_guard<std::mutex> l_lock(m_workers_mutex_);
    ++m_busy_workers_;
  }
  const bool l_started = StartWorker([this, in_l_routine, in_l_message, in_l_guarded, in_l_body, in_l_fault_code] {
    const WorkerResult l_result = RunBody(in_l_body, in_l_fault_code, in_l_routine);
    bool l_end_waits;
    {
      std::lock_guard<std::mutex> l_lock(m_workers_mutex_);
      l_end_waits = --m_busy_workers_ == 0 && m_end_waiting_;
      if (l_end_waits) m_end_waiting_ = false;
    }
    // The run is ending: its result no longer counts, only that the card is free.
    if (l_end_waits) {
      m_poster_.Post(WM_APP09, 0, 0);
    } else {
      Report(in_l_message, l_result, in_l_guarded);
    }
  });
  if (l_started) return WorkerStart::kStarted;
  {
    std::lock_guard<std::mutex> l_lock(m_workers_mutex_);
    --m_busy_workers_;
  }
  return StartFailure(in_l_routine, in_l_point);
}

WorkerResult CardAccessThread::RunBody(WorkerResult (CardAccessThread::*in_l_body)(), const wchar_t* in_l_fault_code,
                                       std::uint8_t in_l_routine) noexcept {
  std::lock_guard<std::mutex> l_lock(m_critical_section_);
  try {
    return (this->*in_l_body)();
  } catch (...) {
    // Whatever went wrong, the page gets this operation's answer and the card
    // is not left open behind it.
    try {
      m_access_for_personal_info_.ReleaseCardSession();
      m_access_for_gpki_ap_.ReleaseCardSession();
      if (m_error_info_ != nullptr) m_error_info_->SetCardError(in_l_fault_code, kModule, in_l_routine, kPointFault);
    } catch (...) {
      // Out of memory even for the record: the failure still goes out.
    }
    return WorkerResult::kFailed;
  }
}

void CardAccessThread::Report(std::uint32_t in_l_message, WorkerResult in_l_result, bool in_l_guarded) {
  if (in_l_guarded && EndAlert::ExamineMutex() == 1) return;
  m_poster_.Post(in_l_message, static_cast<std::uintptr_t>(in_l_result), 0);
}

// ---- starters ----

WorkerStart CardAccessThread::StartWithRecords(ErrorInfo* in_l_error_info, DataStore* in_l_data_store,
                                               ResultData* in_l_result_data, bool in_l_needs_result_data,
                                               std::uint8_t in_l_routine, std::uint32_t in_l_message,
                                               WorkerResult (CardAccessThread::*in_l_body)(),
                                               const wchar_t* in_l_fault_code) {
  m_error_info_ = in_l_error_info;
  m_data_store_ = in_l_data_store;
  m_result_data_ = in_l_result_data;
  // Points count the argument checks in order; the thread's own failure is the last.
  if (in_l_error_info == nullptr) return WorkerStart::kNotStarted;
  if (in_l_data_store == nullptr) return StartFailure(in_l_routine, 2);
  if (!in_l_needs_result_data) return Start(in_l_routine, 3, in_l_message, false, in_l_body, in_l_fault_code);
  if (in_l_result_data == nullptr) return StartFailure(in_l_routine, 3);
  return Start(in_l_routine, 4, in_l_message, false, in_l_body, in_l_fault_code);
}

WorkerStart CardAccessThread::CreateThreadForEstablishJpki(ErrorInfo* in_l_error_info, DataStore* in_l_data_store,
                                                   ResultData* in_l_result_data) {
  return StartWithRecords(in_l_error_info, in_l_data_store, in_l_result_data, true, 0x01, WM_APP02,
                          &CardAccessThread::EstablishJpki, kFaultEstablishIdCard);
}

WorkerStart CardAccessThread::CreateThreadForLogin() {
  return Start(0x02, 1, WM_APP05, true, &CardAccessThread::Sign, kFaultSignIdCard);
}

WorkerStart CardAccessThread::CreateThreadForSign() {
  return Start(0x04, 1, WM_APP05, true, &CardAccessThread::Sign, kFaultSignIdCard);
}

WorkerStart CardAccessThread::CreateThreadForEstablishPersonalInfo(ErrorInfo* in_l_error_info, DataStore* in_l_data_store,
                                                           ResultData* in_l_result_data) {
  return StartWithRecords(in_l_error_info, in_l_data_store, in_l_result_data, true, 0x05, WM_APP02,
                          &CardAccessThread::EstablishPersonalInfo, kFaultEstablishIdCard);
}

WorkerStart CardAccessThread::CreateThreadForMyNumberPersonalInfo() {
  return Start(0x06, 1, WM_APP05, true, &CardAccessThread::MyNumberPersonalInfo, kFaultPersonalInfo);
}

WorkerStart CardAccessThread::CreateThreadForChangePassword(ErrorInfo* in_l_error_info, DataStore* in_l_data_store) {
  return StartWithRecords(in_l_error_info, in_l_data_store, m_result_data_, false, 0x24, WM_APP05,
                          &CardAccessThread::ChangePassword, kFaultChangeIdCardPassword);
}

WorkerStart CardAccessThread::CreateThreadForSignWithConfirm(Certificate* in_l_certificate) {
  m_certificate_ = in_l_certificate;
  if (in_l_certificate == nullptr) return StartFailure(0x27, 1);
  return Start(0x27, 2, WM_APP05, true, &CardAccessThread::SignWithConfirm, kFaultSignIdCard);
}

WorkerStart CardAccessThread::CreateThreadForSignWithCryptoAPI(ErrorInfo* in_l_error_info, DataStore* in_l_data_store,
                                                       ResultData* in_l_result_data, Certificate* in_l_certificate) {
  m_error_info_ = in_l_error_info;
  m_data_store_ = in_l_data_store;
  m_result_data_ = in_l_result_data;
  m_certificate_ = in_l_certificate;
  if (in_l_error_info == nullptr) return WorkerStart::kNotStarted;
  if (in_l_data_store == nullptr) return StartFailure(0x30, 2);
  if (in_l_result_data == nullptr) return StartFailure(0x30, 3);
  if (in_l_certificate == nullptr) return StartFailure(0x30, 4);
  return Start(0x30, 5, WM_APP08, true, &CardAccessThread::SignWithCryptoAPI, kFaultSignWithCryptoAPI);
}

WorkerStart CardAccessThread::CreateThreadForEstablishGpkiAp(ErrorInfo* in_l_error_info, DataStore* in_l_data_store,
                                                     ResultData* in_l_result_data) {
  return StartWithRecords(in_l_error_info, in_l_data_store, in_l_result_data, true, 0x41, WM_APP02,
                          &CardAccessThread::EstablishGpkiAp, kFaultEstablishGpkiAp);
}

WorkerStart CardAccessThread::CreateThreadForSignGpkiAp() {
  return Start(0x46, 1, WM_APP05, true, &CardAccessThread::SignGpkiAp, kFaultSignGpkiAp);
}

WorkerStart CardAccessThread::CreateThreadForSignGpkiApWithConfirm(Certificate* in_l_first, Certificate* in_l_second) {
  m_certificate_ = in_l_first;
  m_second_certificate_ = in_l_second;
  if (in_l_first == nullptr) return StartFailure(0x4A, 1);
  if (in_l_second == nullptr) return StartFailure(0x4A, 2);
  return Start(0x4A, 3, WM_APP05, true, &CardAccessThread::SignGpkiApWithConfirm, kFaultSignGpkiAp);
}

WorkerStart CardAccessThread::CreateThreadForChangeGpkiApPassword(ErrorInfo* in_l_error_info, DataStore* in_l_data_store) {
  return StartWithRecords(in_l_error_info, in_l_data_store, m_result_data_, false, 0x4D, WM_APP05,
                          &CardAccessThread::ChangeGpkiApPassword, kFaultChangeGpkiApPassword);
}

// ---- release and validate ----

bool CardAccessThread::ReleaseAtEnd(EndSession in_l_session) {
  {
    std::lock_guard<std::mutex> l_lock(m_workers_mutex_);
    m_end_waiting_ = m_busy_workers_ > 0;
    if (m_end_waiting_) return false;
  }
  // No body runs, and only this (the user-interface) thread starts one.
  std::lock_guard<std::mutex> l_lock(m_critical_section_);
  switch (in_l_session) {
    case EndSession::kJpki:
    case EndSession::kPersonalInfo:
      if (m_access_for_personal_info_.ValidateCardSession() == 1) m_access_for_personal_info_.ReleaseCardSession();
      break;
    case EndSession::kGpkiAp:
      if (m_access_for_gpki_ap_.ValidateCardSession() == 1) m_access_for_gpki_ap_.ReleaseCardSession();
      break;
    case EndSession::kCryptoAPI:
      break;  // The signing worker frees the key itself; waiting for it was all.
  }
  return true;
}

void CardAccessThread::ReleaseJpki() {
  std::lock_guard<std::mutex> l_lock(m_critical_section_);
  m_access_for_personal_info_.ReleaseCardSession();
}

void CardAccessThread::ReleasePersonalInfo() { ReleaseJpki(); }

void CardAccessThread::ReleaseGpkiAp() {
  std::lock_guard<std::mutex> l_lock(m_critical_section_);
  m_access_for_gpki_ap_.ReleaseCardSession();
}

void CardAccessThread::ReleaseCryptoAPI() { std::lock_guard<std::mutex> l_lock(m_critical_section_); }

int CardAccessThread::ValidateCardSessionJpki() { return m_access_for_personal_info_.ValidateCardSession(); }

int CardAccessThread::ValidateCardSessionPersonalInfo() { return m_access_for_personal_info_.ValidateCardSession(); }

int CardAccessThread::ValidateCardSessionGpkiAp() { return m_access_for_gpki_ap_.ValidateCardSession(); }

int CardAccessThread::ValidateCryptoAPI() {
  return m_certificate_ != nullptr && m_certificate_->ValidateCapiResource() ? 1 : 0;
}

void CardAccessThread::DeleteCertificate(std::unique_ptr<Certificate>& io_l_certificate) {
  std::lock_guard<std::mutex> l_lock(m_critical_section_);
  if (m_certificate_ == io_l_certificate.get()) m_certificate_ = nullptr;
  if (m_second_certificate_ == io_l_certificate.get()) m_second_certificate_ = nullptr;
  io_l_certificate.reset();
}

// ---- bodies, run inside the critical section ----

template <typename Access>
int CardAccessThread::OpenWithPassword(Access& io_l_access) {
  int l_result = io_l_access.EstablishCardSession(m_error_info_, m_data_store_, m_result_data_);
  if (l_result == 0) {
    l_result = io_l_access.CheckCardPassword();
    // The typed PIN is not kept once the card has checked it.
    m_data_store_->SetPassword(L"");
  }
  return l_result;
}

WorkerResult CardAccessThread::EstablishJpki() {
  const int l_result = m_access_for_personal_info_.EstablishCardSession(m_error_info_, m_data_store_, m_result_data_);
  m_access_for_personal_info_.ReleaseCardSession();
  return Outcome(l_result);
}

WorkerResult CardAccessThread::EstablishPersonalInfo() { return EstablishJpki(); }

WorkerResult CardAccessThread::EstablishGpkiAp() {
  const int l_result = m_access_for_gpki_ap_.EstablishCardSession(m_error_info_, m_data_store_, m_result_data_);
  m_access_for_gpki_ap_.ReleaseCardSession();
  return Outcome(l_result);
}

WorkerResult CardAccessThread::Sign() {
  AccessForPersonalInfo& l_access = m_access_for_personal_info_;
  int l_result = OpenWithPassword(l_access);
  if (l_result == 0) l_result = l_access.GetCertificate();
  if (l_result == 0) l_result = l_access.ComputeSignature();
  std::this_thread::sleep_for(kAfterSigning);
  if (l_result == 0 && m_data_store_->GetMode() == RequestMode::kLogin) {
    l_result = l_access.ExtractCombinationCode();
    if (l_result == 0) l_result = l_access.ExtractCityCode();
  }
  if (l_result == 0) l_access.ReleaseCardSession();
  return Outcome(l_result);
}

WorkerResult CardAccessThread::MyNumberPersonalInfo() {
  AccessForPersonalInfo& l_access = m_access_for_personal_info_;
  int l_result = OpenWithPassword(l_access);
  if (l_result == 0) l_result = l_access.ExtractPersonalInfo();
  if (l_result == 0) l_result = l_access.ExtractCombinationCode();
  if (l_result == 0) l_access.ReleaseCardSession();
  return Outcome(l_result);
}

WorkerResult CardAccessThread::ChangePassword() {
  ResultData l_scratch;
  int l_result = m_access_for_personal_info_.EstablishCardSession(m_error_info_, m_data_store_, &l_scratch);
  if (l_result == 0) l_result = m_access_for_personal_info_.ChangePassword();
  m_access_for_personal_info_.ReleaseCardSession();
  return l_result == 0 ? WorkerResult::kPasswordChanged : WorkerResult::kFailed;
}

WorkerResult CardAccessThread::SignWithConfirm() {
  AccessForPersonalInfo& l_access = m_access_for_personal_info_;
  if (m_certificate_ == nullptr) return WorkerResult::kFailed;
  if (m_certificate_->GetCertificateHex().empty()) {
    int l_result = OpenWithPassword(l_access);
    if (l_result == 0) l_result = l_access.GetCertificate();
    if (l_result != 0) return WorkerResult::kFailed;
    m_certificate_->SetCertificateHex(m_result_data_->GetCertificate());
    l_result = m_certificate_->ReadCertificateDetail();
    // The session stays open for the second run, after the user confirmed.
    return m_error_info_->GetCode() == kIssuerRefused ? Outcome(l_result) : WorkerResult::kConfirmCertificate;
  }
  const int l_result = l_access.ComputeSignature();
  std::this_thread::sleep_for(kAfterSigning);
  l_access.ReleaseCardSession();
  m_certificate_->ReleaseResource();
  return Outcome(l_result);
}

WorkerResult CardAccessThread::SignGpkiAp() {
  AccessForGpkiAp& l_access = m_access_for_gpki_ap_;
  int l_result = OpenWithPassword(l_access);
  if (l_result == 0) l_result = l_access.GetCertificate();
  if (l_result == 0) l_result = l_access.ComputeSignature();
  std::this_thread::sleep_for(kAfterSigning);
  l_access.ReleaseCardSession();
  return Outcome(l_result);
}

WorkerResult CardAccessThread::SignGpkiApWithConfirm() {
  AccessForGpkiAp& l_access = m_access_for_gpki_ap_;
  if (m_certificate_ == nullptr || m_second_certificate_ == nullptr) return WorkerResult::kFailed;
  if (m_certificate_->GetCertificateHex().empty()) {
    int l_result = OpenWithPassword(l_access);
    Certificate* const l_certificates[] = {m_certificate_, m_second_certificate_};
    for (int l_type = 0; l_type < 2 && l_result == 0; ++l_type) {
      m_data_store_->SetGpkiCertificateType(l_type);
      l_result = l_access.GetCertificate();
      if (l_result != 0) break;
      l_certificates[l_type]->SetCertificateHex(m_result_data_->GetCertificate());
      const int l_parse = l_certificates[l_type]->ReadCertificateDetail();
      if (l_type == 0) l_result = l_parse;
    }
    if (l_result != 0) return WorkerResult::kFailed;
    // The answer carries the signing certificate, not the authority's that was read last.
    m_result_data_->SetCertificate(m_certificate_->GetCertificateHex());
    m_data_store_->SetGpkiCertificateType(0);
    return WorkerResult::kConfirmCertificate;
  }
  const int l_result = l_access.ComputeSignature();
  std::this_thread::sleep_for(kAfterSigning);
  l_access.ReleaseCardSession();
  m_certificate_->ReleaseResource();
  m_second_certificate_->ReleaseResource();
  return Outcome(l_result);
}

WorkerResult CardAccessThread::ChangeGpkiApPassword() {
  ResultData l_scratch;
  int l_result = m_access_for_gpki_ap_.EstablishCardSession(m_error_info_, m_data_store_, &l_scratch);
  if (l_result == 0) l_result = m_access_for_gpki_ap_.ChangePassword();
  m_access_for_gpki_ap_.ReleaseCardSession();
  return l_result == 0 ? WorkerResult::kPasswordChanged : WorkerResult::kFailed;
}

WorkerResult CardAccessThread::SignWithCryptoAPI() {
  if (m_certificate_ == nullptr) return WorkerResult::kFailed;
  int l_result = 0;
  if (!m_certificate_->ValidateCapiResource()) {
    if (m_certificate_->ReadCertificate() != 0) return WorkerResult::kFailed;
    l_result = m_certificate_->ReadCertificateDetail();
    if (m_data_store_->GetMode() == RequestMode::kSignWithConfirm && m_error_info_->GetCode() != kIssuerRefused) {
      return WorkerResult::kConfirmCertificate;
    }
  }
  const RequestMode l_mode = m_data_store_->GetMode();
  if (l_result == 0 && (l_mode == RequestMode::kSign || l_mode == RequestMode::kSignWithConfirm)) {
    l_result = m_certificate_->ComputeSignature();
    std::this_thread::sleep_for(kAfterSigning);
    if (l_result == 0) {
      for (const std::wstring& l_signature : m_certificate_->GetSignatures()) m_result_data_->SetSignature(l_signature);
      m_result_data_->SetCertificate(m_certificate_->GetCertificateHex());
    }
    m_certificate_->ReleaseResource();
  }
  return Outcome(l_result);
}

}  // namespace tavc
