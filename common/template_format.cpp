#include "common/template_format.h"

namespace tavc {

std::wstring FormatTemplate(std::wstring_view in_l_template, std::initializer_list<std::wstring_view> in_l_args) {
  std::wstring l_out;
  l_out.reserve(in_l_template.size());
  auto l_next = in_l_args.begin();
  for (std::size_t l_i = 0; l_i < in_l_template.size(); ++l_i) {
    const wchar_t l_c = in_l_template[l_i];
    const wchar_t l_spec = l_i + 1 < in_l_template.size() ? in_l_template[l_i + 1] : L'\0';
    if (l_c != L'%' || (l_spec != L's' && l_spec != L'd' && l_spec != L'u' && l_spec != L'%')) {
      l_out.push_back(l_c);
      continue;
    }
    ++l_i;
    if (l_spec == L'%') {
      l_out.push_back(L'%');
    } else if (l_next != in_l_args.end()) {
      l_out.append(*l_next++);
    }
  }
  return l_out;
}

}  // namespace tavc
