#pragma once
// RSA-2048 key generation takes a noticeable time, so the keys of generated
// cards come from a process-wide pool: key N is generated once and reused by
// every card that asks for it. With a directory set, the keys are also kept
// there as PEM files and reused by later processes.
#include <cstddef>
#include <memory>
#include <string>

#include "tools/cardsim/openssl_card_key.h"

namespace tavc::cardsim {

// Key slots used by the credential factory.
inline constexpr std::size_t kKeyMyNumberAuth = 0;
inline constexpr std::size_t kKeyMyNumberSign = 1;
inline constexpr std::size_t kKeyJpkiAuthCa = 2;
inline constexpr std::size_t kKeyJpkiSignCa = 3;
inline constexpr std::size_t kKeyGpkiUser = 4;
inline constexpr std::size_t kKeyGpkiCa = 5;

// Sets the directory for key files (empty: memory only). Set it before the first key is used.
void SetKeyPoolDirectory(const std::string& in_l_directory);
// Key number in_l_index (2048 bits); null only when generation fails.
std::shared_ptr<OpensslCardKey> PooledKey(std::size_t in_l_index);

}  // namespace tavc::cardsim
