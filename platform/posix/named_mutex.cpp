// In-process registry of named mutexes: weak entries, so that a mutex goes away
// with its last handle as a kernel object does.
#include "platform/named_mutex.h"

#include <condition_variable>
#include <map>
#include <mutex>
#include <thread>

namespace tavc::platform {
namespace {

struct MutexState {
  std::mutex lock;
  std::condition_variable released;
  std::thread::id owner;
  unsigned count = 0;
};

std::mutex& RegistryMutex() {
  static std::mutex s_mutex;
  return s_mutex;
}

std::map<std::wstring, std::weak_ptr<MutexState>>& Registry() {
  static std::map<std::wstring, std::weak_ptr<MutexState>> s_registry;
  return s_registry;
}

// The live state of a name, or null; drops a dead entry.
std::shared_ptr<MutexState> Find(const std::wstring& in_l_name) {
  const auto l_it = Registry().find(in_l_name);
  if (l_it == Registry().end()) return nullptr;
  std::shared_ptr<MutexState> l_state = l_it->second.lock();
  if (!l_state) Registry().erase(l_it);
  return l_state;
}

}  // namespace

struct NamedMutex::Impl {
  std::shared_ptr<MutexState> state;
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
  std::lock_guard<std::mutex> l_registry_lock(RegistryMutex());
  std::shared_ptr<MutexState> l_state = Find(in_l_name);
  out_l_existed = l_state != nullptr;
  if (!l_state) {
    l_state = std::make_shared<MutexState>();
    l_state->owner = std::this_thread::get_id();
    l_state->count = 1;
    Registry()[in_l_name] = l_state;
  }
  NamedMutex l_mutex;
  l_mutex.m_impl_ = std::make_unique<Impl>(Impl{std::move(l_state)});
  return l_mutex;
}

NamedMutex NamedMutex::Open(const std::wstring& in_l_name) {
  std::lock_guard<std::mutex> l_registry_lock(RegistryMutex());
  NamedMutex l_mutex;
  std::shared_ptr<MutexState> l_state = Find(in_l_name);
  if (l_state) l_mutex.m_impl_ = std::make_unique<Impl>(Impl{std::move(l_state)});
  return l_mutex;
}

bool NamedMutex::IsValid() const { return m_impl_ != nullptr; }

bool NamedMutex::Wait() {
  if (m_impl_ == nullptr) return false;
  MutexState& l_state = *m_impl_->state;
  const std::thread::id l_self = std::this_thread::get_id();
  std::unique_lock<std::mutex> l_lock(l_state.lock);
  l_state.released.wait(l_lock, [&] { return l_state.count == 0 || l_state.owner == l_self; });
  l_state.owner = l_self;
  ++l_state.count;
  return true;
}

bool NamedMutex::Release() {
  if (m_impl_ == nullptr) return false;
  MutexState& l_state = *m_impl_->state;
  {
    std::lock_guard<std::mutex> l_lock(l_state.lock);
    if (l_state.count == 0 || l_state.owner != std::this_thread::get_id()) return false;
    if (--l_state.count != 0) return true;
    l_state.owner = std::thread::id();
  }
  l_state.released.notify_all();
  return true;
}

void NamedMutex::Close() {
  if (m_impl_ == nullptr) return;
  std::lock_guard<std::mutex> l_registry_lock(RegistryMutex());
  m_impl_.reset();
}

}  // namespace tavc::platform
