#include "platform/single_instance.h"

#include <windows.h>

namespace tavc::platform {

struct SingleInstanceLock::Impl {
  HANDLE handle = nullptr;
};

SingleInstanceLock::SingleInstanceLock() : m_impl_(std::make_unique<Impl>()) {}

SingleInstanceLock::~SingleInstanceLock() {
  if (m_impl_->handle != nullptr) CloseHandle(m_impl_->handle);
}

int SingleInstanceLock::Take(const std::wstring& in_l_name) {
  if (m_impl_->handle != nullptr) return 1;
  // Kept open even when the mutex existed: this instance counts as running
  // until it ends.
  m_impl_->handle = CreateMutexW(nullptr, FALSE, in_l_name.c_str());
  const DWORD l_error = GetLastError();
  if (m_impl_->handle == nullptr) return 1;
  return l_error == ERROR_ALREADY_EXISTS ? 1 : 0;
}

void SingleInstanceLock::Release() {
  if (m_impl_->handle != nullptr) CloseHandle(m_impl_->handle);
  m_impl_->handle = nullptr;
}

}  // namespace tavc::platform
