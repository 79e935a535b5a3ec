#pragma once
// Everything TAV knows of the current request and session. One per run, owned
// by the frame window; no behaviour beyond setting and getting.
#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "host/state/request_modes.h"

namespace tavc {

using WindowHandle = void*;

struct ScreenSize {
  std::int32_t cx = 0;
  std::int32_t cy = 0;
};

class DataStore {
 public:
  DataStore() = default;
  ~DataStore();
  DataStore(const DataStore&) = delete;
  DataStore& operator=(const DataStore&) = delete;

  void SetLatestVersion(std::wstring in_l_value) { m_latest_version_ = std::move(in_l_value); }
  void SetAvailableVersion(std::wstring in_l_value) { m_available_version_ = std::move(in_l_value); }
  // The request's "mode" text, parsed here once; the text stays for the answer's echo.
  void SetMode(std::wstring in_l_value) {
    m_mode_ = ParseRequestMode(in_l_value);
    m_mode_text_ = std::move(in_l_value);
  }
  void SetServiceId(std::wstring in_l_value) { m_service_id_ = std::move(in_l_value); }
  void SetDigest(std::wstring in_l_value) { m_digest_.push_back(std::move(in_l_value)); }
  void SetPwChange(std::wstring in_l_value) { m_pw_change_ = std::move(in_l_value); }
  void SetLanguage(std::wstring in_l_value) { m_language_ = std::move(in_l_value); }
  void SetOwnVersion(std::wstring in_l_value) { m_own_version_ = std::move(in_l_value); }
  void SetScreenHandle(WindowHandle in_l_value) { m_screen_handle_ = in_l_value; }
  void SetPassword(std::wstring in_l_value);
  // The interrupt watcher completes the interrupt record before it publishes
  // the state (release); whoever sees a non-zero state (acquire) may read it.
  void SetInterruptState(int in_l_value) { m_interrupt_state_.store(in_l_value, std::memory_order_release); }
  void SetScaleX(double in_l_value) { m_scale_x_ = in_l_value; }
  void SetScaleY(double in_l_value) { m_scale_y_ = in_l_value; }
  void SetPasswordType(int in_l_value) { m_password_type_ = in_l_value; }
  void SetNewPassword(std::wstring in_l_value);
  void SetIntegrityLevel(int in_l_value) { m_integrity_level_ = in_l_value; }
  void SetUnavailableVersionFlg(int in_l_value) { m_unavailable_version_flg_ = in_l_value; }
  void SetCancelType(int in_l_value) { m_cancel_type_ = in_l_value; }
  void SetSize(std::int32_t in_l_cx, std::int32_t in_l_cy) { m_size_ = ScreenSize{in_l_cx, in_l_cy}; }
  void SetCertificateType(std::wstring in_l_value) { m_certificate_type_ = std::move(in_l_value); }
  void SetFilePath(std::wstring in_l_value) { m_file_path_ = std::move(in_l_value); }
  void SetFilePassword(std::wstring in_l_value);
  void SetCombinationCodeFlag(int in_l_value) { m_combination_code_flag_ = in_l_value; }
  void SetCityCodeFlag(int in_l_value) { m_city_code_flag_ = in_l_value; }
  void SetGpkiCertificateType(int in_l_value) { m_gpki_certificate_type_ = in_l_value; }
  // The web origin that asks, as checked by the intake; empty when not given.
  void SetOrigin(std::wstring in_l_value) { m_origin_ = std::move(in_l_value); }

  std::wstring GetLatestVersion() const { return m_latest_version_; }
  std::wstring GetAvailableVersion() const { return m_available_version_; }
  RequestMode GetMode() const { return m_mode_; }
  const std::wstring& GetModeText() const { return m_mode_text_; }
  std::wstring GetServiceId() const { return m_service_id_; }
  const std::vector<std::wstring>& GetDigest() const { return m_digest_; }
  std::wstring GetPwChange() const { return m_pw_change_; }
  std::wstring GetLanguage() const { return m_language_; }
  std::wstring GetOwnVersion() const { return m_own_version_; }
  WindowHandle GetScreenHandle() const { return m_screen_handle_; }
  std::wstring GetPassword() const { return m_password_; }
  int GetInterruptState() const { return m_interrupt_state_.load(std::memory_order_acquire); }
  double GetScaleX() const { return m_scale_x_; }
  double GetScaleY() const { return m_scale_y_; }
  int GetPasswordType() const { return m_password_type_; }
  std::wstring GetNewPassword() const { return m_new_password_; }
  int GetIntegrityLevel() const { return m_integrity_level_; }
  int GetUnavailableVersionFlg() const { return m_unavailable_version_flg_; }
  int GetCancelType() const { return m_cancel_type_; }
  ScreenSize GetSize() const { return m_size_; }
  std::wstring GetCertificateType() const { return m_certificate_type_; }
  std::wstring GetFilePath() const { return m_file_path_; }
  // By reference: a check of the password leaves no copy of it behind.
  const std::wstring& GetFilePassword() const { return m_file_password_; }
  int GetCombinationCodeFlag() const { return m_combination_code_flag_; }
  int GetCityCodeFlag() const { return m_city_code_flag_; }
  int GetGpkiCertificateType() const { return m_gpki_certificate_type_; }
  std::wstring GetOrigin() const { return m_origin_; }

 private:
  std::wstring m_latest_version_;
  std::wstring m_available_version_;
  RequestMode m_mode_ = RequestMode::kUnknown;
  std::wstring m_mode_text_;
  std::wstring m_service_id_;
  std::vector<std::wstring> m_digest_;
  std::wstring m_pw_change_;
  std::wstring m_language_ = L"ja";
  std::wstring m_own_version_;
  WindowHandle m_screen_handle_ = nullptr;
  std::wstring m_password_;
  std::atomic<int> m_interrupt_state_{0};
  double m_scale_x_ = 0.0;
  double m_scale_y_ = 0.0;
  int m_password_type_ = 0;
  std::wstring m_new_password_;
  int m_integrity_level_ = 0;
  int m_unavailable_version_flg_ = 0;
  int m_cancel_type_ = 0;
  ScreenSize m_size_;
  std::wstring m_certificate_type_;
  std::wstring m_file_path_;
  std::wstring m_file_password_;
  int m_combination_code_flag_ = 0;
  int m_city_code_flag_ = 0;
  int m_gpki_certificate_type_ = 0;
  std::wstring m_origin_;
};

}  // namespace tavc
