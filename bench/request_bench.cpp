// Cost of the protocol ends per byte: a request full of digests read and
// validated, and an answer full of signatures built and written.
#include <benchmark/benchmark.h>

#include <string>

#include "host/flow/tavc_std_io.h"
#include "tests/unit/core/fake_std_streams.h"

namespace tavc {
namespace {

// A signing request of about in_l_size bytes: as many Base64 DigestInfos (51
// bytes each) as fit.
std::string SigningRequest(std::size_t in_l_size) {
  const std::string l_head = "{\"mode\":\"02\",\"latest_version\":\"3\",\"available_version\":\"1\",\"digest\":[";
  const std::string l_digest = "\"MDEwDQYJYIZIAWUDBAIBBQAEIEKIITUOlpFJH2FrdUzYMV+4bXl6s12ENHnnMu+QZlMk\"";
  std::string l_json = l_head + l_digest;
  while (l_json.size() + l_digest.size() + 3 <= in_l_size) l_json += "," + l_digest;
  return l_json + "]}";
}

void BM_ReadRequest(benchmark::State& io_l_state) {
  const auto l_frame = test::Frame(SigningRequest(static_cast<std::size_t>(io_l_state.range(0))));
  for (auto l_ : io_l_state) {
    test::FakeStdStreams l_streams(l_frame);
    TavcStdIo l_io(l_streams, [](std::wstring& out_l_v) { return out_l_v = L"1.0.0.0", true; });
    DataStore l_store;
    ErrorInfo l_error;
    if (l_io.ReadFromStdIn(l_store, l_error) != StartResult::kAccepted) io_l_state.SkipWithError("request refused");
    benchmark::DoNotOptimize(l_store.GetDigest().size());
  }
  io_l_state.SetBytesProcessed(static_cast<std::int64_t>(io_l_state.iterations()) *
                               static_cast<std::int64_t>(l_frame.size()));
}
BENCHMARK(BM_ReadRequest)->Arg(64 << 10)->Arg(1 << 20)->Unit(benchmark::kMicrosecond);

void BM_WriteAnswer(benchmark::State& io_l_state) {
  // One 256-byte signature is 344 Base64 characters in the answer.
  const std::size_t l_count = static_cast<std::size_t>(io_l_state.range(0)) / 347;
  DataStore l_store;
  l_store.SetMode(L"02");
  ResultData l_data;
  for (std::size_t l_i = 0; l_i < l_count; ++l_i) l_data.SetSignature(std::wstring(512, L'a'));
  l_data.SetCertificate(std::wstring(3000, L'b'));
  std::size_t l_written = 0;
  for (auto l_ : io_l_state) {
    test::FakeStdStreams l_streams;
    TavcStdIo l_io(l_streams, nullptr);
    ErrorInfo l_error;
    l_io.WriteToStdOut(l_store, l_data, 0, l_error);
    l_written = l_streams.output.size();
  }
  io_l_state.SetBytesProcessed(io_l_state.iterations() * static_cast<std::int64_t>(l_written));
}
BENCHMARK(BM_WriteAnswer)->Arg(64 << 10)->Arg(1 << 20)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace tavc

BENCHMARK_MAIN();
