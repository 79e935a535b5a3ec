// Named kernel mutexes.
#include "platform/named_mutex.h"

#include <windows.h>

namespace tavc::platform {

struct NamedMutex::Impl {
  HANDLE handle = nullptr;
};

NamedMutex::NamedMutex() = default;
NamedMutex::~NamedMutex() { Close(); }
NamedMutex::NamedMutex(NamedMutex&& in_l_other) noexcept = default;
NamedMutex& NamedMutex::operator=(NamedMutex&& in_l_other) noexcept {
  if (this != &in_l_other) {
    Close();
    m_impl_ = std::move(in_l_other.m_impl_);
  }
  return *this;
}

NamedMutex NamedMutex::CreateOwned(const std::wstring& in_l_name, bool& out_l_existed) {
  NamedMutex l_mutex;
  const HANDLE l_handle = CreateMutexW(nullptr, TRUE, in_l_name.c_str());
  out_l_existed = l_handle != nullptr && GetLastError() == ERROR_ALREADY_EXISTS;
  if (l_handle != nullptr) l_mutex.m_impl_ = std::make_unique<Impl>(Impl{l_handle});
  return l_mutex;
}

NamedMutex NamedMutex::Open(const std::wstring& in_l_name) {
  NamedMutex l_mutex;
  const HANDLE l_handle = OpenMutexW(MUTEX_ALL_ACCESS, FALSE, in_l_name.c_str());
  if (l_handle != nullptr) l_mutex.m_impl_ = std::make_unique<Impl>(Impl{l_handle});
  return l_mutex;
}

bool NamedMutex::IsValid() const { return m_impl_ != nullptr; }

bool NamedMutex::Wait() {
  if (m_impl_ == nullptr) return false;
  // An owner that ended without releasing still hands the mutex over.
  const DWORD l_wait = WaitForSingleObject(m_impl_->handle, INFINITE);
  return l_wait == WAIT_OBJECT_0 || l_wait == WAIT_ABANDONED;
}

bool NamedMutex::Release() { return m_impl_ != nullptr && ReleaseMutex(m_impl_->handle) != FALSE; }

void NamedMutex::Close() {
  if (m_impl_ == nullptr) return;
  CloseHandle(m_impl_->handle);
  m_impl_.reset();
}

}  // namespace tavc::platform
