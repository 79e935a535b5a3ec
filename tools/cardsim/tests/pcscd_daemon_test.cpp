// The daemon behind a real pcscd with the vpcd driver, reached through pcsc-lite.
#include <PCSC/winscard.h>
#include <gtest/gtest.h>
#include <openssl/evp.h>
#include <openssl/x509.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tools/cardsim/harness/pcscd_harness.h"
#include "tools/cardsim/tests/test_support.h"

namespace tavc::cardsim::test {
namespace {

// One exclusive connection through pcsc-lite.
class PcscConnection {
 public:
  ~PcscConnection() {
    if (m_card_ != 0) SCardDisconnect(m_card_, SCARD_LEAVE_CARD);
    if (m_context_ != 0) SCardReleaseContext(m_context_);
  }
  LONG Connect(const std::string& in_l_reader) {
    LONG l_result = SCardEstablishContext(SCARD_SCOPE_USER, nullptr, nullptr, &m_context_);
    if (l_result != SCARD_S_SUCCESS) return l_result;
    return SCardConnect(m_context_, in_l_reader.c_str(), SCARD_SHARE_EXCLUSIVE,
                        SCARD_PROTOCOL_T0 | SCARD_PROTOCOL_T1, &m_card_, &m_protocol_);
  }
  LONG Transmit(const std::vector<std::uint8_t>& in_l_apdu, std::vector<std::uint8_t>& out_l_response) {
    out_l_response.assign(258, 0);
    DWORD l_length = 258;
    const SCARD_IO_REQUEST* l_pci = m_protocol_ == SCARD_PROTOCOL_T0 ? SCARD_PCI_T0 : SCARD_PCI_T1;
    const LONG l_result = SCardTransmit(m_card_, l_pci, in_l_apdu.data(),
                                        static_cast<DWORD>(in_l_apdu.size()), nullptr,
                                        out_l_response.data(), &l_length);
    out_l_response.resize(l_result == SCARD_S_SUCCESS ? l_length : 0);
    return l_result;
  }
  std::vector<std::uint8_t> Send(const std::string& in_l_hex) {
    std::vector<std::uint8_t> l_response;
    EXPECT_EQ(Transmit(Hex(in_l_hex), l_response), SCARD_S_SUCCESS) << in_l_hex;
    return l_response;
  }

 private:
  SCARDCONTEXT m_context_ = 0;
  SCARDHANDLE m_card_ = 0;
  DWORD m_protocol_ = 0;
};

class PcscdDaemon : public ::testing::Test {
 protected:
  void StartOrSkip(std::vector<std::string> in_l_arguments, std::size_t in_l_readers,
                   bool in_l_listen = false) {
    PcscdHarnessOptions l_options;
    l_options.m_daemon_path_ = CARDSIM_DAEMON_PATH;
    l_options.m_daemon_arguments_ = std::move(in_l_arguments);
    l_options.m_reader_count_ = in_l_readers;
    l_options.m_port_ = in_l_listen ? 35980 : 35963;
    l_options.m_daemon_listens_ = in_l_listen;
    l_options.m_key_directory_ = "/tmp/cardsim-test-keys";
    std::string l_error;
    if (m_harness_.Start(l_options, l_error) != 0) GTEST_SKIP() << "pcscd unavailable: " << l_error;
  }
  std::vector<std::uint8_t> Exported(const std::string& in_l_name) {
    std::ifstream l_file(m_harness_.ExportDirectory() + "/" + in_l_name, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(l_file), {});
  }
  PcscdHarness m_harness_;
};

TEST_F(PcscdDaemon, MyNumberCardInTheSecondReaderSignsVerifiably) {
  StartOrSkip({"--card", "empty", "--card", "mynumber"}, 2);
  if (IsSkipped()) return;
  ASSERT_EQ(m_harness_.WaitForCard(1, true, std::chrono::seconds(10)), 0);
  PcscConnection l_empty;
  EXPECT_EQ(l_empty.Connect(m_harness_.ReaderNames()[0]), SCARD_E_NO_SMARTCARD);

  PcscConnection l_card;
  ASSERT_EQ(l_card.Connect(m_harness_.ReaderNames()[1]), SCARD_S_SUCCESS);
  EXPECT_EQ(Sw(l_card.Send("00 A4 04 0C 0A D3 92 F0 00 26 01 00 00 00 01")), 0x9000u);
  const std::vector<std::uint8_t> l_token = l_card.Send("00 B0 86 00 20");
  ASSERT_EQ(l_token.size(), 34u);
  EXPECT_EQ(std::string(l_token.begin(), l_token.begin() + 15), "JPKIAPICCTOKEN2");
  EXPECT_EQ(Sw(l_card.Send("00 20 00 98 04 31 32 33 34")), 0x9000u);

  const std::string l_message = "log-in challenge";
  std::vector<std::uint8_t> l_digest(32);
  unsigned l_size = 0;
  EVP_Digest(l_message.data(), l_message.size(), l_digest.data(), &l_size, EVP_sha256(), nullptr);
  std::vector<std::uint8_t> l_command = Hex("80 2A 00 97 33 3031300D060960864801650304020105000420");
  l_command.insert(l_command.end(), l_digest.begin(), l_digest.end());
  l_command.push_back(0x00);
  std::vector<std::uint8_t> l_answer;
  ASSERT_EQ(l_card.Transmit(l_command, l_answer), SCARD_S_SUCCESS);
  ASSERT_EQ(l_answer.size(), 258u);
  const std::vector<std::uint8_t> l_signature = Data(l_answer);

  const std::vector<std::uint8_t> l_der = Exported("reader1-auth.der");
  const unsigned char* l_cursor = l_der.data();
  X509* l_cert = d2i_X509(nullptr, &l_cursor, static_cast<long>(l_der.size()));
  ASSERT_NE(l_cert, nullptr);
  EVP_MD_CTX* l_context = EVP_MD_CTX_new();
  EXPECT_EQ(EVP_DigestVerifyInit(l_context, nullptr, EVP_sha256(), nullptr, X509_get0_pubkey(l_cert)), 1);
  EXPECT_EQ(EVP_DigestVerify(l_context, l_signature.data(), l_signature.size(),
                             reinterpret_cast<const unsigned char*>(l_message.data()),
                             l_message.size()),
            1);
  EVP_MD_CTX_free(l_context);
  X509_free(l_cert);
  // The certificate read through the reader is the exported one.
  const std::vector<std::uint8_t> l_head = Data(l_card.Send("00 B0 8A 00 04"));
  ASSERT_EQ(l_head.size(), 4u);
  EXPECT_EQ(std::size_t{l_head[2]} * 256 + l_head[3] + 4, l_der.size());
}

TEST_F(PcscdDaemon, CardRemovedAtTheThirdCommandGivesRemovedCard) {
  StartOrSkip({"--card", "mynumber", "--remove-at", "3"}, 1);
  if (IsSkipped()) return;
  ASSERT_EQ(m_harness_.WaitForCard(0, true, std::chrono::seconds(10)), 0);
  PcscConnection l_card;
  ASSERT_EQ(l_card.Connect(m_harness_.ReaderNames()[0]), SCARD_S_SUCCESS);
  l_card.Send("00 A4 04 0C 0A D3 92 F0 00 26 01 00 00 00 01");
  l_card.Send("00 B0 8A 00 04");
  std::vector<std::uint8_t> l_response;
  // pcscd reports a card pulled in the middle of a command either way.
  const LONG l_result = l_card.Transmit(Hex("00 B0 00 00 FA"), l_response);
  EXPECT_TRUE(l_result == static_cast<LONG>(SCARD_W_REMOVED_CARD) ||
              l_result == static_cast<LONG>(SCARD_E_NOT_TRANSACTED))
      << std::hex << l_result;
  EXPECT_EQ(m_harness_.WaitForCard(0, false, std::chrono::seconds(5)), 0);
  // Put back by hand: the card is there again.
  m_harness_.SendToDaemon("insert 0");
  EXPECT_EQ(m_harness_.WaitForCard(0, true, std::chrono::seconds(5)), 0);
}

TEST_F(PcscdDaemon, ListeningDaemonServesAConnectingReader) {
  StartOrSkip({"--card", "gpki", "--gpki-password-tries", "1"}, 1, true);
  if (IsSkipped()) return;
  ASSERT_EQ(m_harness_.WaitForCard(0, true, std::chrono::seconds(10)), 0);
  PcscConnection l_card;
  ASSERT_EQ(l_card.Connect(m_harness_.ReaderNames()[0]), SCARD_S_SUCCESS);
  EXPECT_EQ(Sw(l_card.Send("00 A4 04 0C 0A D3 92 F0 00 4A 00 00 00 00 01")), 0x9000u);
  EXPECT_EQ(Sw(l_card.Send("00 20 00 9B")), 0x63C1u);
  EXPECT_EQ(Sw(l_card.Send("00 20 00 9B 06 57 52 4F 4E 47 21")), 0x63C0u);
  EXPECT_EQ(Sw(l_card.Send("00 20 00 9B 08 47 50 4B 49 31 32 33 34")), 0x6984u);
}

}  // namespace
}  // namespace tavc::cardsim::test
