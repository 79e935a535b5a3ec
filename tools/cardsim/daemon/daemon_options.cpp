#include "tools/cardsim/daemon/daemon_options.h"

#include <cstdlib>
#include <functional>
#include <map>

namespace tavc::cardsim {

const char kDaemonUsage[] =
    "usage: cardsim-daemon [global options] --card TYPE [card options] [--card TYPE ...]\n"
    "Global options:\n"
    "  --host HOST            reader host to connect to (default 127.0.0.1)\n"
    "  --port PORT            port of the first reader (default 35963); reader i uses PORT+i\n"
    "  --listen               listen on the ports for a reader to connect instead\n"
    "  --key-dir DIR          keep generated keys in DIR and reuse them\n"
    "  --export-dir DIR       write the certificates as reader<i>-<slot>.der\n"
    "Cards (one --card per reader, in port order): mynumber, gpki, empty\n"
    "Card options (apply to the last --card):\n"
    "  --individual-number D12 --name UTF8 --address UTF8 --birth-date YYYYMMDD --sex 1|2|9\n"
    "  --card-serial D15 --city-code D5 --expiry-date YYYYMMDD\n"
    "  --auth-pin V --auth-pin-tries N --sign-password V --sign-password-tries N\n"
    "  --surface-pin V --surface-pin-tries N --gpki-password V --gpki-password-tries N\n"
    "  --token TEXT           token text of the card's JPKI or GPKI application\n"
    "  --test-issuer          JPKI-TEST / TestOfficialStatusCA issuers\n"
    "  --valid-days N         certificates valid for N days (default 3650), CA's included\n"
    "  --cert SLOT=PATH --key SLOT=PATH   certificate / key files (PEM or DER);\n"
    "                         slots auth, auth-ca, sign, sign-ca (mynumber), user, second (gpki)\n"
    "  --remove-at N          the card leaves the reader when its Nth command arrives\n"
    "  --remove-on PATTERN    ... when a command starting with PATTERN arrives (hex, ?? any byte)\n"
    "  --status PATTERN=SWSW[@N]  answer matching commands (only the Nth) with that status\n"
    "  --delay-ms N           time the card takes per command\n"
    "  --reinsert-after-ms N  a removed card comes back after N ms\n"
    "Standard input takes the lines \"remove I\", \"insert I\" and \"quit\".\n";

namespace {

int ParseNumber(const std::string& in_l_text, unsigned long in_l_max, unsigned long& out_l_value) {
  if (in_l_text.empty() || in_l_text.size() > 10) return 1;
  for (char l_char : in_l_text) {
    if (l_char < '0' || l_char > '9') return 1;
  }
  out_l_value = std::strtoul(in_l_text.c_str(), nullptr, 10);
  return out_l_value <= in_l_max ? 0 : 1;
}

int ParseStatus(const std::string& in_l_text, StatusOverride& out_l_override) {
  const std::size_t l_equals = in_l_text.rfind('=');
  if (l_equals == std::string::npos) return 1;
  std::string l_status = in_l_text.substr(l_equals + 1);
  const std::size_t l_at = l_status.find('@');
  if (l_at != std::string::npos) {
    unsigned long l_occurrence = 0;
    if (ParseNumber(l_status.substr(l_at + 1), 1000000, l_occurrence) != 0) return 1;
    out_l_override.m_occurrence_ = l_occurrence;
    l_status.resize(l_at);
  }
  ApduPattern l_status_bytes;
  if (ApduPattern::Parse(in_l_text.substr(0, l_equals), out_l_override.m_pattern_) != 0 ||
      l_status.size() != 4 || ApduPattern::Parse(l_status, l_status_bytes) != 0) {
    return 1;
  }
  const unsigned long l_value = std::strtoul(l_status.c_str(), nullptr, 16);
  out_l_override.m_status_ = StatusWord{static_cast<std::uint8_t>(l_value >> 8),
                                        static_cast<std::uint8_t>(l_value & 0xFF)};
  return 0;
}

CredentialFile& FileSlot(ReaderSetup& io_l_reader, const std::string& in_l_slot) {
  for (CredentialFile& l_file : io_l_reader.m_files_) {
    if (l_file.m_slot_ == in_l_slot) return l_file;
  }
  io_l_reader.m_files_.push_back(CredentialFile{in_l_slot, "", ""});
  return io_l_reader.m_files_.back();
}

int ParseFileOption(const std::string& in_l_value, bool in_l_key, ReaderSetup& io_l_reader) {
  const std::size_t l_equals = in_l_value.find('=');
  if (l_equals == std::string::npos || l_equals + 1 == in_l_value.size()) return 1;
  const std::string l_slot = in_l_value.substr(0, l_equals);
  static const char* const kSlots[] = {"auth", "auth-ca", "sign", "sign-ca", "user", "second"};
  bool l_known = false;
  for (const char* l_name : kSlots) l_known = l_known || l_slot == l_name;
  if (!l_known) return 1;
  CredentialFile& l_file = FileSlot(io_l_reader, l_slot);
  (in_l_key ? l_file.m_key_path_ : l_file.m_certificate_path_) = in_l_value.substr(l_equals + 1);
  return 0;
}

}  // namespace

int ParseDaemonOptions(const std::vector<std::string>& in_l_arguments, DaemonOptions& out_l_options,
                       std::string& out_l_error) {
  out_l_options = DaemonOptions{};
  out_l_error.clear();
  using Setter = std::function<int(const std::string&)>;
  auto l_reader = [&]() -> ReaderSetup& { return out_l_options.m_readers_.back(); };
  auto l_tries = [&](PinSetting& io_l_pin, const std::string& in_l_value) {
    unsigned long l_value = 0;
    if (ParseNumber(in_l_value, 15, l_value) != 0) return 1;
    io_l_pin.m_tries_left_ = static_cast<unsigned>(l_value);
    return 0;
  };
  const std::map<std::string, Setter> l_card_options = {
      {"--individual-number", [&](const std::string& v) { l_reader().m_my_number_.m_individual_number_ = v; return 0; }},
      {"--name", [&](const std::string& v) { l_reader().m_my_number_.m_name_ = v; return 0; }},
      {"--address", [&](const std::string& v) { l_reader().m_my_number_.m_address_ = v; return 0; }},
      {"--birth-date", [&](const std::string& v) { l_reader().m_my_number_.m_birth_date_ = v; return 0; }},
      {"--sex", [&](const std::string& v) { l_reader().m_my_number_.m_sex_ = v; return 0; }},
      {"--card-serial", [&](const std::string& v) { l_reader().m_my_number_.m_card_serial_ = v; return 0; }},
      {"--city-code", [&](const std::string& v) { l_reader().m_my_number_.m_city_code_ = v; return 0; }},
      {"--expiry-date", [&](const std::string& v) { l_reader().m_my_number_.m_expiry_date_ = v; return 0; }},
      {"--auth-pin", [&](const std::string& v) { l_reader().m_my_number_.m_auth_pin_.m_value_ = v; return 0; }},
      {"--auth-pin-tries", [&](const std::string& v) { return l_tries(l_reader().m_my_number_.m_auth_pin_, v); }},
      {"--sign-password", [&](const std::string& v) { l_reader().m_my_number_.m_sign_password_.m_value_ = v; return 0; }},
      {"--sign-password-tries", [&](const std::string& v) { return l_tries(l_reader().m_my_number_.m_sign_password_, v); }},
      {"--surface-pin", [&](const std::string& v) { l_reader().m_my_number_.m_surface_pin_.m_value_ = v; return 0; }},
      {"--surface-pin-tries", [&](const std::string& v) { return l_tries(l_reader().m_my_number_.m_surface_pin_, v); }},
      {"--gpki-password", [&](const std::string& v) { l_reader().m_gpki_.m_user_password_.m_value_ = v; return 0; }},
      {"--gpki-password-tries", [&](const std::string& v) { return l_tries(l_reader().m_gpki_.m_user_password_, v); }},
      {"--token", [&](const std::string& v) { l_reader().m_my_number_.m_jpki_token_ = v; l_reader().m_gpki_.m_gpki_token_ = v; return 0; }},
      {"--valid-days", [&](const std::string& v) {
         unsigned long l_value = 0;
         if (ParseNumber(v, 100000, l_value) != 0 || l_value == 0) return 1;
         l_reader().m_my_number_.m_valid_days_ = static_cast<int>(l_value);
         l_reader().m_gpki_.m_valid_days_ = static_cast<int>(l_value);
         return 0; }},
      {"--cert", [&](const std::string& v) { return ParseFileOption(v, false, l_reader()); }},
      {"--key", [&](const std::string& v) { return ParseFileOption(v, true, l_reader()); }},
      {"--remove-at", [&](const std::string& v) {
         unsigned long l_value = 0;
         if (ParseNumber(v, 1000000, l_value) != 0) return 1;
         l_reader().m_faults_.m_remove_at_command_ = l_value;
         return 0; }},
      {"--remove-on", [&](const std::string& v) { return ApduPattern::Parse(v, l_reader().m_faults_.m_remove_on_); }},
      {"--status", [&](const std::string& v) {
         StatusOverride l_override;
         if (ParseStatus(v, l_override) != 0) return 1;
         l_reader().m_faults_.m_status_overrides_.push_back(l_override);
         return 0; }},
      {"--delay-ms", [&](const std::string& v) {
         unsigned long l_value = 0;
         if (ParseNumber(v, 600000, l_value) != 0) return 1;
         l_reader().m_faults_.m_delay_per_command_ = std::chrono::milliseconds(l_value);
         return 0; }},
      {"--reinsert-after-ms", [&](const std::string& v) {
         unsigned long l_value = 0;
         if (ParseNumber(v, 600000, l_value) != 0) return 1;
         l_reader().m_reinsert_after_ms_ = static_cast<unsigned>(l_value);
         return 0; }},
  };

  for (std::size_t l_i = 0; l_i < in_l_arguments.size(); ++l_i) {
    const std::string& l_option = in_l_arguments[l_i];
    if (l_option == "--help" || l_option == "-h") return 2;
    if (l_option == "--listen") {
      out_l_options.m_listen_ = true;
      continue;
    }
    if (l_option == "--test-issuer") {
      if (out_l_options.m_readers_.empty()) {
        out_l_error = "--test-issuer before any --card";
        return 1;
      }
      l_reader().m_my_number_.m_test_issuer_ = true;
      l_reader().m_gpki_.m_test_issuer_ = true;
      continue;
    }
    if (l_i + 1 >= in_l_arguments.size()) {
      out_l_error = "missing value after " + l_option;
      return 1;
    }
    const std::string& l_value = in_l_arguments[++l_i];
    if (l_option == "--host") {
      out_l_options.m_host_ = l_value;
    } else if (l_option == "--port") {
      unsigned long l_port = 0;
      if (ParseNumber(l_value, 65000, l_port) != 0 || l_port == 0) {
        out_l_error = "bad port " + l_value;
        return 1;
      }
      out_l_options.m_port_ = static_cast<std::uint16_t>(l_port);
    } else if (l_option == "--key-dir") {
      out_l_options.m_key_directory_ = l_value;
    } else if (l_option == "--export-dir") {
      out_l_options.m_export_directory_ = l_value;
    } else if (l_option == "--card") {
      ReaderSetup l_setup;
      if (l_value == "mynumber") {
        l_setup.m_type_ = CardType::kMyNumber;
      } else if (l_value == "gpki") {
        l_setup.m_type_ = CardType::kGpki;
      } else if (l_value != "empty") {
        out_l_error = "unknown card type " + l_value;
        return 1;
      }
      out_l_options.m_readers_.push_back(l_setup);
    } else {
      const auto l_found = l_card_options.find(l_option);
      if (l_found == l_card_options.end()) {
        out_l_error = "unknown option " + l_option;
        return 1;
      }
      if (out_l_options.m_readers_.empty()) {
        out_l_error = l_option + " before any --card";
        return 1;
      }
      if (l_found->second(l_value) != 0) {
        out_l_error = "bad value for " + l_option + ": " + l_value;
        return 1;
      }
    }
  }
  if (out_l_options.m_readers_.empty()) {
    out_l_error = "no --card given";
    return 1;
  }
  if (static_cast<std::size_t>(out_l_options.m_port_) + out_l_options.m_readers_.size() > 65535) {
    out_l_error = "too many readers for the port";
    return 1;
  }
  return 0;
}

}  // namespace tavc::cardsim
