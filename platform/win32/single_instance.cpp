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
  HANDLE l_handle = CreateMutexW(nullptr, FALSE, in_l_name.c_str());
  const DWORD l_error = GetLastError();
  if (l_handle == nullptr) return 1;
  // A refused instance lets go of the name at once: kept open, it would keep
  // the name alive after the running instance ended and refuse the next one.
  if (l_error == ERROR_ALREADY_EXISTS) {
    CloseHandle(l_handle);
    return 1;
  }
  m_impl_->handle = l_handle;
  return 0;
}

void SingleInstanceLock::Release() {
  if (m_impl_->handle != nullptr) CloseHandle(m_impl_->handle);
  m_impl_->handle = nullptr;
}

}  // namespace tavc::platform
