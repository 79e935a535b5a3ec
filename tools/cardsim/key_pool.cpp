#include "tools/cardsim/key_pool.h"

#include <filesystem>
#include <map>
#include <mutex>
#include <random>
#include <system_error>

namespace tavc::cardsim {
namespace {

struct Pool {
  std::mutex m_mutex_;
  std::string m_directory_;
  std::map<std::size_t, std::shared_ptr<OpensslCardKey>> m_keys_;
};

Pool& ThePool() {
  static Pool l_pool;
  return l_pool;
}

}  // namespace

void SetKeyPoolDirectory(const std::string& in_l_directory) {
  Pool& l_pool = ThePool();
  std::lock_guard<std::mutex> l_lock(l_pool.m_mutex_);
  l_pool.m_directory_ = in_l_directory;
}

std::shared_ptr<OpensslCardKey> PooledKey(std::size_t in_l_index) {
  Pool& l_pool = ThePool();
  std::lock_guard<std::mutex> l_lock(l_pool.m_mutex_);
  auto l_found = l_pool.m_keys_.find(in_l_index);
  if (l_found != l_pool.m_keys_.end()) return l_found->second;
  std::shared_ptr<OpensslCardKey> l_key;
  std::string l_path;
  if (!l_pool.m_directory_.empty()) {
    l_path = l_pool.m_directory_ + "/cardsim-key-" + std::to_string(in_l_index) + ".pem";
    l_key = OpensslCardKey::LoadFile(l_path);
  }
  if (!l_key) {
    l_key = OpensslCardKey::Generate(2048);
    if (!l_key) return nullptr;
    if (!l_path.empty()) {
      // Written under another name and renamed, so that a process starting at
      // the same time never reads half a file.
      const std::string l_temporary = l_path + ".tmp" + std::to_string(std::random_device{}());
      std::error_code l_error;
      std::filesystem::create_directories(l_pool.m_directory_, l_error);
      if (l_key->SavePem(l_temporary) == 0) {
        std::filesystem::rename(l_temporary, l_path, l_error);
      }
    }
  }
  l_pool.m_keys_[in_l_index] = l_key;
  return l_key;
}

}  // namespace tavc::cardsim
