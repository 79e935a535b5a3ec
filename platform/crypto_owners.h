#pragma once
// Move-only owners of a provider's handles (provider context, key, hash) and of
// a file certificate's key: however the scope that holds one is left, the
// handle is let go of exactly once, the way its kind is let go of.
#include <utility>

#include "platform/crypto_provider.h"
#include "platform/pkcs12_file.h"

namespace tavc::platform {

// Owner of one handle of Source, freed with Source's member function Free.
template <typename Source, typename HandleType, void (Source::*Free)(HandleType)>
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

using ProviderContextOwner = OwnedHandle<CryptoProvider, CryptoProvider::Handle, &CryptoProvider::ReleaseContext>;
using ProviderKeyOwner = OwnedHandle<CryptoProvider, CryptoProvider::Handle, &CryptoProvider::DestroyKey>;
using ProviderHashOwner = OwnedHandle<CryptoProvider, CryptoProvider::Handle, &CryptoProvider::DestroyHash>;
using Pkcs12KeyOwner = OwnedHandle<Pkcs12File, Pkcs12File::KeyHandle, &Pkcs12File::FreeKey>;

}  // namespace tavc::platform
