#pragma once
// A PC/SC service whose card answers from a script: each command must be the
// next one expected, and gets its canned reply. It keeps the handles it gave out
// so that a test can see that every path released them.
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/scard_api.h"

namespace tavc::test {

struct ScriptedReply {
  std::int32_t result = platform::kScardSuccess;
  std::vector<std::uint8_t> response;
  // Runs when the command is answered, for what happens meanwhile elsewhere.
  std::function<void()> side_effect;
};

// Hexadecimal text (spaces allowed) as bytes.
std::vector<std::uint8_t> Bytes(const std::string& in_l_hex);
std::string HexOf(const std::vector<std::uint8_t>& in_l_bytes);

// Data followed by 90 00.
ScriptedReply Ok(const std::vector<std::uint8_t>& in_l_data = {});
ScriptedReply Ok(const std::string& in_l_hex_data);
ScriptedReply Status(std::uint8_t in_l_sw1, std::uint8_t in_l_sw2);
ScriptedReply PcscFailure(std::int32_t in_l_result);

class ScriptedSCardApi final : public platform::SCardApi {
 public:
  void AddReader(const std::wstring& in_l_name, std::int32_t in_l_connect_result = platform::kScardSuccess);
  void SetEstablishResult(std::int32_t in_l_result) { m_establish_result_ = in_l_result; }
  void SetListResult(std::int32_t in_l_result) { m_list_result_ = in_l_result; }

  // The next command must equal in_l_command_hex; a text ending in "..." only
  // has to start with what precedes it.
  void Expect(const std::string& in_l_command_hex, ScriptedReply in_l_reply);

  // Everything expected was sent and nothing else.
  bool Finished() const { return m_script_.empty() && m_unexpected_.empty(); }
  const std::vector<std::string>& Unexpected() const { return m_unexpected_; }
  std::size_t RemainingExpectations() const { return m_script_.size(); }
  // Contexts and card handles given out and not yet released, and handles
  // released that were not open.
  std::size_t OpenHandles() const { return m_open_contexts_.size() + m_open_cards_.size(); }
  std::size_t BadReleases() const { return m_bad_releases_; }
  // Cards disconnected with SCARD_RESET_CARD.
  std::size_t ResetDisconnects() const { return m_reset_disconnects_; }
  const std::vector<std::string>& Sent() const { return m_sent_; }
  const std::vector<std::wstring>& Connected() const { return m_connected_; }

  std::int32_t EstablishContext(platform::ScardContext* out_l_context) override;
  std::int32_t ListReaders(platform::ScardContext in_l_context, std::wstring* out_l_multi_string) override;
  std::int32_t Connect(platform::ScardContext in_l_context, const std::wstring& in_l_reader,
                       platform::ScardHandle* out_l_card, std::uint32_t* out_l_protocol) override;
  std::int32_t Transmit(platform::ScardHandle in_l_card, std::uint32_t in_l_protocol, const std::uint8_t* in_l_send,
                        std::uint32_t in_l_send_length, std::uint8_t* out_l_receive,
                        std::uint32_t* io_l_receive_length) override;
  std::int32_t Disconnect(platform::ScardHandle in_l_card, Disposition in_l_disposition) override;
  std::int32_t ReleaseContext(platform::ScardContext in_l_context) override;

 private:
  struct Expectation {
    std::string command_hex;
    bool prefix = false;
    ScriptedReply reply;
  };

  std::int32_t m_establish_result_ = platform::kScardSuccess;
  std::int32_t m_list_result_ = platform::kScardSuccess;
  std::vector<std::pair<std::wstring, std::int32_t>> m_readers_;
  std::deque<Expectation> m_script_;
  std::vector<std::string> m_unexpected_;
  std::vector<std::string> m_sent_;
  std::vector<std::wstring> m_connected_;
  std::set<platform::ScardContext> m_open_contexts_;
  std::set<platform::ScardHandle> m_open_cards_;
  std::size_t m_bad_releases_ = 0;
  std::size_t m_reset_disconnects_ = 0;
  std::uintptr_t m_next_handle_ = 0x100;
};

}  // namespace tavc::test
