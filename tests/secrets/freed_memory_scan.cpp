#include "tests/secrets/freed_memory_scan.h"

#include <malloc.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <new>

namespace tavc::test {
namespace {

// One scan at a time; the secret's bytes live in a static buffer, so that
// watching allocates nothing.
constexpr std::size_t kMaxSecretBytes = 256;
unsigned char g_secret[kMaxSecretBytes];
std::size_t g_secret_size = 0;
std::atomic<bool> g_scanning{false};
std::atomic<std::size_t> g_found{0};

bool Holds(const unsigned char* in_l_block, std::size_t in_l_size) {
  if (g_secret_size == 0 || in_l_size < g_secret_size) return false;
  for (std::size_t l_at = 0; l_at + g_secret_size <= in_l_size; ++l_at) {
    if (std::memcmp(in_l_block + l_at, g_secret, g_secret_size) == 0) return true;
  }
  return false;
}

}  // namespace

namespace {

void StartScan(const void* in_l_secret, std::size_t in_l_size) {
  g_secret_size = std::min(in_l_size, kMaxSecretBytes);
  std::memcpy(g_secret, in_l_secret, g_secret_size);
  g_found = 0;
  g_scanning = true;
}

}  // namespace

FreedMemoryScan::FreedMemoryScan(const std::wstring& in_l_secret) {
  StartScan(in_l_secret.data(), in_l_secret.size() * sizeof(wchar_t));
}

FreedMemoryScan::FreedMemoryScan(const std::string& in_l_secret) { StartScan(in_l_secret.data(), in_l_secret.size()); }

FreedMemoryScan::~FreedMemoryScan() { g_scanning = false; }

std::size_t FreedMemoryScan::Found() const { return g_found.load(); }

}  // namespace tavc::test

void* operator new(std::size_t in_l_size) {
  void* l_block = std::malloc(in_l_size == 0 ? 1 : in_l_size);
  if (l_block == nullptr) throw std::bad_alloc();
  return l_block;
}

void operator delete(void* in_l_block) noexcept {
  if (in_l_block != nullptr && tavc::test::g_scanning.load() &&
      tavc::test::Holds(static_cast<const unsigned char*>(in_l_block), malloc_usable_size(in_l_block))) {
    ++tavc::test::g_found;
  }
  std::free(in_l_block);
}

void operator delete(void* in_l_block, std::size_t) noexcept { operator delete(in_l_block); }
