#pragma once
// A move-only owner of one handle given out by a seam: however the scope that
// holds it is left, the handle is let go of exactly once.
#include <utility>

namespace tavc::platform {

// Owner of one handle of Source, let go of with Source's member function Free
// (its result, if any, is of no use at that point).
template <typename Source, typename HandleType, auto Free>
class OwnedHandle {
 public:
  OwnedHandle() = default;
  OwnedHandle(Source& in_l_source, HandleType in_l_handle) noexcept : m_source_(&in_l_source), m_handle_(in_l_handle) {}
  OwnedHandle(OwnedHandle&& io_l_other) noexcept
      : m_source_(io_l_other.m_source_), m_handle_(std::exchange(io_l_other.m_handle_, HandleType{})) {}
  OwnedHandle& operator=(OwnedHandle&& io_l_other) noexcept {
    if (this != &io_l_other) {
      Reset();
      m_source_ = io_l_other.m_source_;
      m_handle_ = std::exchange(io_l_other.m_handle_, HandleType{});
    }
    return *this;
  }
  OwnedHandle(const OwnedHandle&) = delete;
  OwnedHandle& operator=(const OwnedHandle&) = delete;
  ~OwnedHandle() { Reset(); }

  HandleType Get() const noexcept { return m_handle_; }
  void Reset() noexcept {
    if (m_handle_ != HandleType{}) (m_source_->*Free)(std::exchange(m_handle_, HandleType{}));
  }

 private:
  Source* m_source_ = nullptr;
  HandleType m_handle_{};
};

}  // namespace tavc::platform
