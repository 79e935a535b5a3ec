#include "tests/support/scripted_scard_api.h"

#include <algorithm>
#include <cctype>

namespace tavc::test {

std::vector<std::uint8_t> Bytes(const std::string& in_l_hex) {
  std::string l_digits;
  for (const char l_c : in_l_hex) {
    if (std::isxdigit(static_cast<unsigned char>(l_c)) != 0) l_digits.push_back(l_c);
  }
  std::vector<std::uint8_t> l_bytes;
  for (std::size_t l_i = 0; l_i + 1 < l_digits.size(); l_i += 2) {
    l_bytes.push_back(static_cast<std::uint8_t>(std::stoul(l_digits.substr(l_i, 2), nullptr, 16)));
  }
  return l_bytes;
}

std::string HexOf(const std::vector<std::uint8_t>& in_l_bytes) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string l_text;
  for (const std::uint8_t l_byte : in_l_bytes) {
    l_text.push_back(kDigits[l_byte >> 4]);
    l_text.push_back(kDigits[l_byte & 0xF]);
  }
  return l_text;
}

ScriptedReply Ok(const std::vector<std::uint8_t>& in_l_data) {
  ScriptedReply l_reply{platform::kScardSuccess, in_l_data, {}};
  l_reply.response.push_back(0x90);
  l_reply.response.push_back(0x00);
  return l_reply;
}

ScriptedReply Ok(const std::string& in_l_hex_data) { return Ok(Bytes(in_l_hex_data)); }

ScriptedReply Status(std::uint8_t in_l_sw1, std::uint8_t in_l_sw2) {
  return ScriptedReply{platform::kScardSuccess, {in_l_sw1, in_l_sw2}, {}};
}

ScriptedReply PcscFailure(std::int32_t in_l_result) { return ScriptedReply{in_l_result, {}, {}}; }

void ScriptedSCardApi::AddReader(const std::wstring& in_l_name, std::int32_t in_l_connect_result) {
  m_readers_.emplace_back(in_l_name, in_l_connect_result);
}

void ScriptedSCardApi::Expect(const std::string& in_l_command_hex, ScriptedReply in_l_reply) {
  Expectation l_expectation;
  std::string l_text = in_l_command_hex;
  const std::size_t l_dots = l_text.find("...");
  if (l_dots != std::string::npos) {
    l_expectation.prefix = true;
    l_text.erase(l_dots);
  }
  l_expectation.command_hex = HexOf(Bytes(l_text));
  l_expectation.reply = std::move(in_l_reply);
  m_script_.push_back(std::move(l_expectation));
}

std::int32_t ScriptedSCardApi::EstablishContext(platform::ScardContext* out_l_context) {
  *out_l_context = 0;
  if (m_establish_result_ != platform::kScardSuccess) return m_establish_result_;
  *out_l_context = m_next_handle_++;
  m_open_contexts_.insert(*out_l_context);
  return platform::kScardSuccess;
}

std::int32_t ScriptedSCardApi::ListReaders(platform::ScardContext in_l_context, std::wstring* out_l_multi_string) {
  out_l_multi_string->clear();
  if (m_open_contexts_.count(in_l_context) == 0) return platform::kScardEInvalidHandle;
  if (m_list_result_ != platform::kScardSuccess) return m_list_result_;
  if (m_readers_.empty()) return platform::kScardENoReadersAvailable;
  for (const auto& l_reader : m_readers_) {
    out_l_multi_string->append(l_reader.first);
    out_l_multi_string->push_back(L'\0');
  }
  out_l_multi_string->push_back(L'\0');
  return platform::kScardSuccess;
}

std::int32_t ScriptedSCardApi::Connect(platform::ScardContext in_l_context, const std::wstring& in_l_reader,
                                       platform::ScardHandle* out_l_card, std::uint32_t* out_l_protocol) {
  *out_l_card = 0;
  *out_l_protocol = 0;
  if (m_open_contexts_.count(in_l_context) == 0) return platform::kScardEInvalidHandle;
  const auto l_it = std::find_if(m_readers_.begin(), m_readers_.end(),
                                 [&](const auto& in_l_reader_entry) { return in_l_reader_entry.first == in_l_reader; });
  if (l_it == m_readers_.end()) return platform::kScardEUnknownReader;
  if (l_it->second != platform::kScardSuccess) return l_it->second;
  *out_l_card = m_next_handle_++;
  *out_l_protocol = platform::kScardProtocolT1;
  m_open_cards_.insert(*out_l_card);
  m_connected_.push_back(in_l_reader);
  return platform::kScardSuccess;
}

std::int32_t ScriptedSCardApi::Transmit(platform::ScardHandle in_l_card, std::uint32_t in_l_protocol,
                                        const std::uint8_t* in_l_send, std::uint32_t in_l_send_length,
                                        std::uint8_t* out_l_receive, std::uint32_t* io_l_receive_length) {
  const std::string l_command = HexOf(std::vector<std::uint8_t>(in_l_send, in_l_send + in_l_send_length));
  m_sent_.push_back(l_command);
  if (m_open_cards_.count(in_l_card) == 0 || in_l_protocol != platform::kScardProtocolT1) {
    *io_l_receive_length = 0;
    return platform::kScardEInvalidHandle;
  }
  ScriptedReply l_reply = Status(0x6F, 0x00);
  if (m_script_.empty()) {
    m_unexpected_.push_back(l_command + " (after the script)");
  } else {
    const Expectation& l_next = m_script_.front();
    const bool l_match = l_next.prefix ? l_command.compare(0, l_next.command_hex.size(), l_next.command_hex) == 0
                                       : l_command == l_next.command_hex;
    if (l_match) {
      l_reply = l_next.reply;
      m_script_.pop_front();
    } else {
      m_unexpected_.push_back(l_command + " (expected " + l_next.command_hex + ")");
    }
  }
  if (l_reply.side_effect) l_reply.side_effect();
  if (l_reply.result != platform::kScardSuccess) {
    *io_l_receive_length = 0;
    return l_reply.result;
  }
  if (l_reply.response.size() > *io_l_receive_length) {
    *io_l_receive_length = 0;
    return platform::kScardEInsufficientBuffer;
  }
  std::copy(l_reply.response.begin(), l_reply.response.end(), out_l_receive);
  *io_l_receive_length = static_cast<std::uint32_t>(l_reply.response.size());
  return platform::kScardSuccess;
}

std::int32_t ScriptedSCardApi::Disconnect(platform::ScardHandle in_l_card, Disposition in_l_disposition) {
  if (m_open_cards_.erase(in_l_card) == 0) {
    ++m_bad_releases_;
    return platform::kScardEInvalidHandle;
  }
  if (in_l_disposition == Disposition::kResetCard) ++m_reset_disconnects_;
  return platform::kScardSuccess;
}

std::int32_t ScriptedSCardApi::ReleaseContext(platform::ScardContext in_l_context) {
  if (m_open_contexts_.erase(in_l_context) == 0) {
    ++m_bad_releases_;
    return platform::kScardEInvalidHandle;
  }
  return platform::kScardSuccess;
}

}  // namespace tavc::test
