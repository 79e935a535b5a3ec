#pragma once
// What the operations of a run produced, read by the response writer. Binary
// data is held as lower-case hexadecimal text.
#include <cstddef>
#include <mutex>
#include <string>
#include <vector>

namespace tavc {

class ResultData {
 public:
  void SetUuid(std::wstring in_l_value) { m_uuid_ = std::move(in_l_value); }
  // A signing worker appends while the processing screen counts: both lock.
  void SetSignature(std::wstring in_l_value) {
    const std::lock_guard<std::mutex> l_lock(m_signature_mutex_);
    m_signature_.push_back(std::move(in_l_value));
  }
  void SetCertificate(std::wstring in_l_value) { m_certificate_ = std::move(in_l_value); }
  void SetMynumber(std::wstring in_l_value) { m_mynumber_ = std::move(in_l_value); }
  void SetName(std::wstring in_l_value) { m_name_ = std::move(in_l_value); }
  void SetSex(std::wstring in_l_value) { m_sex_ = std::move(in_l_value); }
  void SetAddress(std::wstring in_l_value) { m_address_ = std::move(in_l_value); }
  void SetBirthday(std::wstring in_l_value) { m_birthday_ = std::move(in_l_value); }
  void SetCombinationCode(std::wstring in_l_value) { m_combination_code_ = std::move(in_l_value); }
  void SetCityCode(std::wstring in_l_value) { m_city_code_ = std::move(in_l_value); }
  // The card's password changes of this run: whether one succeeded, and the
  // code of the last that failed.
  void SetPasswordChanged() { m_password_changed_ = true; }
  void SetPasswordChangeError(std::wstring in_l_code) { m_password_change_error_ = std::move(in_l_code); }

  const std::wstring& GetUuid() const { return m_uuid_; }
  // Only once no worker runs (the end step, the response writer).
  const std::vector<std::wstring>& GetSignature() const { return m_signature_; }
  // Safe while a worker appends.
  std::size_t GetSignatureCount() const {
    const std::lock_guard<std::mutex> l_lock(m_signature_mutex_);
    return m_signature_.size();
  }
  const std::wstring& GetCertificate() const { return m_certificate_; }
  const std::wstring& GetMynumber() const { return m_mynumber_; }
  const std::wstring& GetName() const { return m_name_; }
  const std::wstring& GetSex() const { return m_sex_; }
  const std::wstring& GetAddress() const { return m_address_; }
  const std::wstring& GetBirthday() const { return m_birthday_; }
  const std::wstring& GetCombinationCode() const { return m_combination_code_; }
  const std::wstring& GetCityCode() const { return m_city_code_; }
  bool GetPasswordChanged() const { return m_password_changed_; }
  const std::wstring& GetPasswordChangeError() const { return m_password_change_error_; }

 private:
  std::wstring m_uuid_;
  mutable std::mutex m_signature_mutex_;
  std::vector<std::wstring> m_signature_;
  std::wstring m_certificate_;
  std::wstring m_mynumber_;
  std::wstring m_name_;
  std::wstring m_sex_;
  std::wstring m_address_;
  std::wstring m_birthday_;
  std::wstring m_combination_code_;
  std::wstring m_city_code_;
  bool m_password_changed_ = false;
  std::wstring m_password_change_error_;
};

}  // namespace tavc
