#pragma once
// Named mutexes shared by the threads of this process ("EndAlert_%d"). Windows:
// kernel mutex objects. Elsewhere: an in-process registry with the kernel
// object's rules: ownership belongs to a thread and is recursive, and the mutex
// lives while a handle to it is open.
#include <memory>
#include <string>

namespace tavc::platform {

class NamedMutex {
 public:
  NamedMutex();
  ~NamedMutex();
  NamedMutex(NamedMutex&& in_l_other) noexcept;
  NamedMutex& operator=(NamedMutex&& in_l_other) noexcept;
  NamedMutex(const NamedMutex&) = delete;
  NamedMutex& operator=(const NamedMutex&) = delete;

  // Creates the mutex owned by the calling thread. When it exists already the
  // result opens it without owning it and `out_l_existed` is true.
  static NamedMutex CreateOwned(const std::wstring& in_l_name, bool& out_l_existed);
  // Opens an existing mutex; the result is not valid when there is none.
  static NamedMutex Open(const std::wstring& in_l_name);

  bool IsValid() const;
  // Waits without time limit until the calling thread owns the mutex.
  bool Wait();
  // Gives up one ownership of the calling thread; false when it owns none.
  bool Release();
  void Close();

 private:
  struct Impl;
  std::unique_ptr<Impl> m_impl_;
};

}  // namespace tavc::platform
