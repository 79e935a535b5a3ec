#pragma once
// The case files the unit tests share with the extension's (tests/data, read
// there by web/test/case-file.js): one case a line, its fields apart by spaces;
// a line starting with "#" is a comment; "\uXXXX" in a field stands for that
// UTF-16 unit.
#include <fstream>
#include <string>
#include <vector>

namespace tavc {

struct CaseLine {
  int number = 0;
  std::vector<std::wstring> fields;
};

inline std::wstring DecodeCaseField(const std::string& in_l_field) {
  std::wstring l_text;
  for (std::size_t l_at = 0; l_at < in_l_field.size(); ++l_at) {
    if (in_l_field.compare(l_at, 2, "\\u") == 0 && l_at + 6 <= in_l_field.size()) {
      l_text += static_cast<wchar_t>(std::stoul(in_l_field.substr(l_at + 2, 4), nullptr, 16));
      l_at += 5;
    } else {
      l_text += static_cast<wchar_t>(static_cast<unsigned char>(in_l_field[l_at]));
    }
  }
  return l_text;
}

// The file's cases; none when it cannot be read.
inline std::vector<CaseLine> ReadCaseFile(const std::string& in_l_path) {
  std::vector<CaseLine> l_cases;
  std::ifstream l_file(in_l_path);
  std::string l_line;
  for (int l_number = 1; std::getline(l_file, l_line); ++l_number) {
    if (!l_line.empty() && l_line.back() == '\r') l_line.pop_back();
    if (l_line.empty() || l_line[0] == '#') continue;
    CaseLine l_case{l_number, {}};
    for (std::size_t l_start = l_line.find_first_not_of(' '); l_start != std::string::npos;) {
      const std::size_t l_end = l_line.find(' ', l_start);
      l_case.fields.push_back(DecodeCaseField(l_line.substr(l_start, l_end - l_start)));
      l_start = l_line.find_first_not_of(' ', l_end);
    }
    if (!l_case.fields.empty()) l_cases.push_back(l_case);
  }
  return l_cases;
}

}  // namespace tavc
