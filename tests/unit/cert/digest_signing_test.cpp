#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "host/cert/certificate.h"
#include "host/state/data_store.h"
#include "host/state/error_info.h"

namespace tavc {
namespace {

// Signs through the shared digest loop; the signature of a value is 256 bytes
// of its first byte, and the value starting with 0xEE fails.
class LoopCertificate final : public Certificate {
 public:
  LoopCertificate(DataStore* in_l_store, ErrorInfo* in_l_error) : Certificate(in_l_store, nullptr, in_l_error) {}
  int ComputeSignature() override {
    return SignEachDigest(0x1234, 2,
                          [this](const std::vector<std::uint8_t>& in_l_hash, std::vector<std::uint8_t>* out_l_sig) {
                            if (in_l_hash[0] == 0xEE) {
                              m_error_info_->SetError(L"EW244-3305", L"", L"", L"");
                              return 1;
                            }
                            out_l_sig->assign(256, in_l_hash[0]);
                            return 0;
                          });
  }
  int ReadCertificate() override { return 0; }
  int ReadCertificateDetail() override { return 0; }
  void ReleaseResource() override {}
  void ReadCertExtension() override {}
};

std::wstring Digest(wchar_t in_l_first_digit) { return std::wstring(2, in_l_first_digit) + std::wstring(62, L'0'); }

// The processing screen counts while the worker signs: ThreadSanitizer reports
// a race if either side goes unlocked. The count is read until the worker has
// returned, so a signing that fails early ends the test with its failure.
TEST(DigestSigning, SignaturesCanBeCountedWhileTheWorkerSigns) {
  constexpr std::size_t kDigests = 300;
  DataStore l_store;
  for (std::size_t l_i = 0; l_i < kDigests; ++l_i) l_store.SetDigest(Digest(L'1'));
  ErrorInfo l_error;
  LoopCertificate l_certificate(&l_store, &l_error);
  std::atomic<int> l_result{-1};
  std::thread l_worker([&] { l_result = l_certificate.ComputeSignature(); });
  std::size_t l_last = 0;
  bool l_went_back = false;
  while (l_result.load() == -1) {
    const std::size_t l_count = l_certificate.GetSignatureCount();
    l_went_back = l_went_back || l_count < l_last;
    l_last = l_count;
  }
  l_worker.join();
  EXPECT_FALSE(l_went_back) << "the count never goes back";
  ASSERT_EQ(0, l_result.load()) << std::string(l_error.GetCode().begin(), l_error.GetCode().end());
  EXPECT_EQ(kDigests, l_certificate.GetSignatureCount());
  EXPECT_EQ(std::wstring(512, L'1'), l_certificate.GetSignatures().back());
}

TEST(DigestSigning, AFailureHalfwayLeavesNoSignatureAndItsCode) {
  DataStore l_store;
  l_store.SetDigest(Digest(L'1'));
  l_store.SetDigest(Digest(L'e'));
  ErrorInfo l_error;
  LoopCertificate l_certificate(&l_store, &l_error);
  EXPECT_EQ(1, l_certificate.ComputeSignature());
  EXPECT_EQ(0u, l_certificate.GetSignatureCount());
  EXPECT_EQ(L"EW244-3305", l_error.GetCode());

  DataStore l_short_store;
  l_short_store.SetDigest(L"0102");  // shorter than a SHA-256 value
  LoopCertificate l_short(&l_short_store, &l_error);
  EXPECT_EQ(1, l_short.ComputeSignature());
  EXPECT_EQ(L"EW044-3399", l_error.GetCode());
}

}  // namespace
}  // namespace tavc
