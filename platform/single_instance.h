#pragma once
// The lock that keeps a second TAV of the same user from running. Windows: a
// named kernel mutex, not owned, whose handle the holder keeps open for the
// process's life (a refused process closes its own at once). Elsewhere: an exclusive flock on a lock file in the user's runtime
// directory ($XDG_RUNTIME_DIR, else $TMPDIR or /tmp with the user id in the name).
#include <memory>
#include <string>

namespace tavc::platform {

class SingleInstanceLock {
 public:
  SingleInstanceLock();
  ~SingleInstanceLock();
  SingleInstanceLock(const SingleInstanceLock&) = delete;
  SingleInstanceLock& operator=(const SingleInstanceLock&) = delete;

  // 0 when this process now holds the lock of the name; 1 when another
  // instance holds it or the lock cannot be made.
  int Take(const std::wstring& in_l_name);
  // Lets another instance take the lock while this process is still ending.
  void Release();

 private:
  struct Impl;
  std::unique_ptr<Impl> m_impl_;
};

}  // namespace tavc::platform
