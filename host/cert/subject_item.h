#pragma once
// One attribute of a subject name, or one entry of a class's subject option
// table (the table lists the attributes the display subject shows, in order).
#include <cstddef>
#include <string>
#include <vector>

namespace tavc {

struct SubjectItem {
  std::wstring oid;    // dotted object identifier
  std::wstring value;  // attribute text; empty in option tables
  int option = 0;      // 0: required in the display subject, 1: optional
};

// An option table entry as the classes write them down.
struct SubjectOption {
  const wchar_t* oid;
  int option;
};

inline constexpr int kRequired = 0;
inline constexpr int kOptional = 1;

template <std::size_t N>
std::vector<SubjectItem> MakeSubjectOptionTable(const SubjectOption (&in_l_entries)[N]) {
  std::vector<SubjectItem> l_table;
  l_table.reserve(N);
  for (const SubjectOption& l_entry : in_l_entries) l_table.push_back(SubjectItem{l_entry.oid, L"", l_entry.option});
  return l_table;
}

}  // namespace tavc
