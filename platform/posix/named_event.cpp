// In-process registry of named events: weak entries, so that an event goes away
// with its last handle as a kernel object does.
#include "platform/named_event.h"

#include <atomic>
#include <map>
#include <mutex>

namespace tavc::platform {
namespace {

struct EventState {
  std::atomic<bool> signalled{false};
};

std::mutex& RegistryMutex() {
  static std::mutex s_mutex;
  return s_mutex;
}

std::map<std::wstring, std::weak_ptr<EventState>>& Registry() {
  static std::map<std::wstring, std::weak_ptr<EventState>> s_registry;
  return s_registry;
}

}  // namespace

struct NamedEvent::Impl {
  std::shared_ptr<EventState> state;
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
  std::lock_guard<std::mutex> l_lock(RegistryMutex());
  std::weak_ptr<EventState>& l_entry = Registry()[in_l_name];
  std::shared_ptr<EventState> l_state = l_entry.lock();
  if (!l_state) {
    l_state = std::make_shared<EventState>();
    l_entry = l_state;
  }
  NamedEvent l_event;
  l_event.m_impl_ = std::make_unique<Impl>(Impl{std::move(l_state)});
  return l_event;
}

NamedEvent NamedEvent::Open(const std::wstring& in_l_name) {
  std::lock_guard<std::mutex> l_lock(RegistryMutex());
  NamedEvent l_event;
  const auto l_it = Registry().find(in_l_name);
  if (l_it == Registry().end()) return l_event;
  std::shared_ptr<EventState> l_state = l_it->second.lock();
  if (!l_state) {
    Registry().erase(l_it);
    return l_event;
  }
  l_event.m_impl_ = std::make_unique<Impl>(Impl{std::move(l_state)});
  return l_event;
}

bool NamedEvent::IsValid() const { return m_impl_ != nullptr; }

bool NamedEvent::IsSignalled() const { return m_impl_ != nullptr && m_impl_->state->signalled.load(); }

bool NamedEvent::Set() {
  if (m_impl_ == nullptr) return false;
  m_impl_->state->signalled.store(true);
  return true;
}

void NamedEvent::Close() {
  if (m_impl_ == nullptr) return;
  std::lock_guard<std::mutex> l_lock(RegistryMutex());
  m_impl_.reset();
}

}  // namespace tavc::platform
