// Signing 100 digests on the in-process virtual My Number card: the host's cost
// per digest (command building, exchange through SCardApi, hexadecimal text)
// with a card that answers without RSA, the same with the card's real RSA-2048
// key, and the RSA signature alone.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include "host/card/access_for_personal_info.h"
#include "tests/support/in_process_card_rig.h"
#include "tests/support/instant_card_key.h"
#include "tools/cardsim/key_pool.h"

namespace {

constexpr int kDigests = 100;

std::wstring DigestInfoHex(int in_l_seed) {
  std::wstring l_hex = L"3031300d060960864801650304020105000420";
  static constexpr wchar_t kDigits[] = L"0123456789abcdef";
  for (int l_i = 0; l_i < 32; ++l_i) {
    const int l_byte = (in_l_seed * 31 + l_i) & 0xFF;
    l_hex.push_back(kDigits[l_byte >> 4]);
    l_hex.push_back(kDigits[l_byte & 0xF]);
  }
  return l_hex;
}

void SignHundredDigests(benchmark::State& io_l_state, bool in_l_real_rsa) {
  tavc::test::InProcessCardRig l_rig;
  if (!in_l_real_rsa) l_rig.UseSigningKey(std::make_shared<tavc::test::InstantCardKey>());
  std::string l_error;
  if (!l_rig.Start({{tavc::test::CardKind::kMyNumber}}, &l_error)) {
    io_l_state.SkipWithError(l_error.c_str());
    return;
  }
  tavc::DataStore l_store;
  l_store.SetMode(L"02");
  l_store.SetPassword(L"ABC123");
  for (int l_i = 0; l_i < kDigests; ++l_i) l_store.SetDigest(DigestInfoHex(l_i));
  tavc::ErrorInfo l_error_info;
  tavc::AccessForPersonalInfo l_access(l_rig.Api());
  for (auto l_ : io_l_state) {
    io_l_state.PauseTiming();
    tavc::ResultData l_result;
    if (l_access.EstablishCardSession(&l_error_info, &l_store, &l_result) != 0 || l_access.CheckCardPassword() != 0) {
      io_l_state.SkipWithError("session");
      return;
    }
    io_l_state.ResumeTiming();
    if (l_access.ComputeSignature() != 0) {
      io_l_state.SkipWithError("signing");
      return;
    }
    io_l_state.PauseTiming();
    l_access.ReleaseCardSession();
    io_l_state.ResumeTiming();
  }
  io_l_state.counters["per_digest"] =
      benchmark::Counter(static_cast<double>(io_l_state.iterations()) * kDigests, benchmark::Counter::kIsRate |
                                                                                   benchmark::Counter::kInvert);
}

void BM_card_sign_100_host_only(benchmark::State& io_l_state) { SignHundredDigests(io_l_state, false); }
void BM_card_sign_100_with_rsa(benchmark::State& io_l_state) { SignHundredDigests(io_l_state, true); }

void BM_card_rsa_signature_alone(benchmark::State& io_l_state) {
  const std::shared_ptr<tavc::cardsim::OpensslCardKey> l_key = tavc::cardsim::PooledKey(tavc::cardsim::kKeyMyNumberSign);
  const std::vector<std::uint8_t> l_input(51, 0x42);
  std::vector<std::uint8_t> l_signature;
  for (auto l_ : io_l_state) {
    l_key->SignPkcs1(l_input, l_signature);
    benchmark::DoNotOptimize(l_signature.data());
  }
}

}  // namespace

BENCHMARK(BM_card_sign_100_host_only)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_card_sign_100_with_rsa)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_card_rsa_signature_alone)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
