#pragma once
// Named manual-reset events shared by the threads of this process ("Cancel_%d"
// and its kind). Windows: kernel event objects. Elsewhere: an in-process registry
// with the same lifetime rule (an event lives while a handle to it is open).
#include <memory>
#include <string>

namespace tavc::platform {

class NamedEvent {
 public:
  NamedEvent();
  ~NamedEvent();
  NamedEvent(NamedEvent&& in_l_other) noexcept;
  NamedEvent& operator=(NamedEvent&& in_l_other) noexcept;
  NamedEvent(const NamedEvent&) = delete;
  NamedEvent& operator=(const NamedEvent&) = delete;

  // Creates the event not signalled, or opens it when it exists already.
  static NamedEvent Create(const std::wstring& in_l_name);
  // Opens an existing event; the result is not valid when there is none.
  static NamedEvent Open(const std::wstring& in_l_name);

  bool IsValid() const;
  // A wait with time-out 0. False for an invalid event.
  bool IsSignalled() const;
  bool Set();
  void Close();

 private:
  struct Impl;
  std::unique_ptr<Impl> m_impl_;
};

}  // namespace tavc::platform
