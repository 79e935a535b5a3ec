#pragma once
// Owners of a provider's handles (provider context, key, hash) and of a file
// certificate's key, each let go of the way its kind is.
#include "platform/crypto_provider.h"
#include "platform/owned_handle.h"
#include "platform/pkcs12_file.h"

namespace tavc::platform {

using ProviderContextOwner = OwnedHandle<CryptoProvider, CryptoProvider::Handle, &CryptoProvider::ReleaseContext>;
using ProviderKeyOwner = OwnedHandle<CryptoProvider, CryptoProvider::Handle, &CryptoProvider::DestroyKey>;
using ProviderHashOwner = OwnedHandle<CryptoProvider, CryptoProvider::Handle, &CryptoProvider::DestroyHash>;
using Pkcs12KeyOwner = OwnedHandle<Pkcs12File, Pkcs12File::KeyHandle, &Pkcs12File::FreeKey>;

}  // namespace tavc::platform
