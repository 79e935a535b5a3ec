// Whole runs of TAV, request bytes in and answer bytes out, with the virtual
// card in process answering without RSA: what the host itself costs per
// request, screens and threads included. The fixed 100 ms the signing worker
// waits after its last signature is part of each run and reported apart.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "tests/support/headless_run.h"
#include "tests/support/in_process_card_rig.h"
#include "tests/support/instant_card_key.h"

namespace tavc::test {
namespace {

constexpr char kDigest[] = "MDEwDQYJYIZIAWUDBAIBBQAEIEKIITUOlpFJH2FrdUzYMV+4bXl6s12ENHnnMu+QZlMk";

void RunRequest(benchmark::State& io_l_state, const std::string& in_l_request, const wchar_t* in_l_password) {
  InProcessCardRig l_rig;
  l_rig.UseSigningKey(std::make_shared<InstantCardKey>());
  std::string l_error;
  if (!l_rig.Start({{CardKind::kMyNumber}}, &l_error)) {
    io_l_state.SkipWithError(l_error.c_str());
    return;
  }
  for (auto l_ : io_l_state) {
    HeadlessRun l_run(l_rig.Api(), in_l_request);
    l_run.SetUser([in_l_password](HeadlessRun& io_l_run, HeadlessScreen& io_l_screen) {
      if (io_l_screen.Kind() == ScreenKind::kPasswordEntry) io_l_run.EnterPassword(in_l_password);
    });
    if (!l_run.Run() || l_run.Answer().find("\"result\":\"0\"") == std::string::npos) {
      io_l_state.SkipWithError("the run failed");
      return;
    }
    // The frame's threads end with the run.
    l_run.Leftover();
  }
}

void BM_LogIn(benchmark::State& io_l_state) {
  RunRequest(io_l_state, RequestJson("01", std::string(",\"digest\":\"") + kDigest + "\""), L"1234");
}
BENCHMARK(BM_LogIn)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Sign100Digests(benchmark::State& io_l_state) {
  std::string l_digests = ",\"digest\":[";
  for (int l_i = 0; l_i < 100; ++l_i) l_digests += std::string(l_i == 0 ? "\"" : ",\"") + kDigest + "\"";
  RunRequest(io_l_state, RequestJson("02", l_digests + "]"), L"ABC123");
}
BENCHMARK(BM_Sign100Digests)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace tavc::test

BENCHMARK_MAIN();
