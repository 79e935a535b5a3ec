#pragma once
// A password taken out of the data store for one exchange; wiped when it goes.
#include <string>
#include <utility>

#include "common/secure_wipe.h"

namespace tavc {

class PasswordCopy {
 public:
  explicit PasswordCopy(std::wstring in_l_text) : m_text_(std::move(in_l_text)) {
    // A short text moves by copy and leaves its characters behind.
    SecureWipe(in_l_text);
  }
  ~PasswordCopy() { SecureWipe(m_text_); }
  PasswordCopy(const PasswordCopy&) = delete;
  PasswordCopy& operator=(const PasswordCopy&) = delete;

  const std::wstring& Get() const { return m_text_; }
  bool IsEmpty() const { return m_text_.empty(); }

 private:
  std::wstring m_text_;
};

}  // namespace tavc
