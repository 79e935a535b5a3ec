// Named kernel events.
#include "platform/named_event.h"

#include <windows.h>

namespace tavc::platform {

struct NamedEvent::Impl {
  HANDLE handle = nullptr;
};

NamedEvent::NamedEvent() = default;
NamedEvent::~NamedEvent() { Close(); }
NamedEvent::NamedEvent(NamedEvent&& in_l_other) noexcept = default;
NamedEvent& NamedEvent::operator=(NamedEvent&& in_l_other) noexcept {
  if (this != &in_l_other) {
    Close();
    m_impl_ = std::move(in_l_other.m_impl_);
  }
  return *this;
}

NamedEvent NamedEvent::Create(const std::wstring& in_l_name) {
  NamedEvent l_event;
  const HANDLE l_handle = CreateEventW(nullptr, TRUE, FALSE, in_l_name.c_str());
  if (l_handle != nullptr) l_event.m_impl_ = std::make_unique<Impl>(Impl{l_handle});
  return l_event;
}

NamedEvent NamedEvent::Open(const std::wstring& in_l_name) {
  NamedEvent l_event;
  const HANDLE l_handle = OpenEventW(EVENT_ALL_ACCESS, FALSE, in_l_name.c_str());
  if (l_handle != nullptr) l_event.m_impl_ = std::make_unique<Impl>(Impl{l_handle});
  return l_event;
}

bool NamedEvent::IsValid() const { return m_impl_ != nullptr; }

bool NamedEvent::IsSignalled() const {
  return m_impl_ != nullptr && WaitForSingleObject(m_impl_->handle, 0) == WAIT_OBJECT_0;
}

bool NamedEvent::Set() { return m_impl_ != nullptr && SetEvent(m_impl_->handle) != FALSE; }

void NamedEvent::Close() {
  if (m_impl_ == nullptr) return;
  CloseHandle(m_impl_->handle);
  m_impl_.reset();
}

}  // namespace tavc::platform
